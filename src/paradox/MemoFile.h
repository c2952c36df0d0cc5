#pragma once

#include "DataFile.h"
#include "Value.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace dravena::paradox {

class Cipher;

// The .MB file of a table: memo and BLOB values longer than their in-record part. Every
// reference from a record is checked against the file before anything is read or allocated.
class MemoFile {
public:
    // The .MB beside dbFile (same base name, extension in any letter case), if there is one.
    static std::optional<std::filesystem::path> locate(const std::filesystem::path& dbFile);

    // cipher (optional, for password-protected tables) must outlive this object.
    MemoFile(const std::filesystem::path& path, const Cipher* cipher);

    const std::string& name() const { return file_.name(); }

    // Reads the value that blobRef points to into out. On a bad reference returns false and
    // sets fault to the reason; out is then unspecified.
    bool read(std::uint32_t blobRef, std::uint32_t length, Bytes& out, std::string& fault);

private:
    bool readRange(std::uint64_t offset, std::size_t size, std::uint8_t* out);
    bool readSingle(std::uint64_t offset, std::uint32_t length, Bytes& out, std::string& fault);
    bool readSubAllocated(std::uint64_t offset, unsigned slot, std::uint32_t length, Bytes& out,
                          std::string& fault);

    DataFile file_;
    const Cipher* cipher_;
    std::vector<std::uint8_t> scratch_;
    std::vector<std::uint8_t> subBlock_;
    std::uint64_t subBlockOffset_ = 0; // 0 = none cached (offset 0 is the header block)
};

} // namespace dravena::paradox
