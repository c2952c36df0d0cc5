#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace dravena::paradox {

// The block cipher of password-protected tables. It works on independent 256-byte chunks; the
// key is stored in the table header, so reading needs no password.
class Cipher {
public:
    static constexpr std::size_t chunkSize = 256;

    explicit Cipher(std::uint32_t key);

    // Chunk `chunkIndex` of data block `blockNumber` (1-based) of a .DB file.
    void decryptBlockChunk(std::uint8_t* chunk, std::uint32_t blockNumber,
                           std::uint32_t chunkIndex) const;
    void encryptBlockChunk(std::uint8_t* chunk, std::uint32_t blockNumber,
                           std::uint32_t chunkIndex) const;
    // Decrypts the whole chunks of a data block in place; a partial final chunk is left as is.
    void decryptBlock(std::uint8_t* data, std::size_t size, std::uint32_t blockNumber) const;

    // Any 256-byte aligned chunk of a .MB file.
    void decryptMemoChunk(std::uint8_t* chunk) const;
    void encryptMemoChunk(std::uint8_t* chunk) const;

    // The key that a table protected with this password stores in its header (0 for "").
    static std::uint32_t keyForPassword(std::string_view password);

private:
    std::uint8_t a_;
    std::uint8_t b_;
};

} // namespace dravena::paradox
