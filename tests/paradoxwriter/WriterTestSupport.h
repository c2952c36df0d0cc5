#pragma once

// Helpers for the writer's tests: a scratch folder and a view of a table through pxlib, an
// independent Paradox reader.

extern "C" {
#include <paradox.h>
}

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace writertest {

class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "dravena-writer-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot create a scratch folder");
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            out.push_back(entry.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }

private:
    std::filesystem::path path_;
};

// A table opened with pxlib. Values come back as text: "NULL" for what pxlib calls NULL,
// integers and day/millisecond numbers in decimal, doubles with 17 digits, bytes in hex.
class PxTable {
public:
    explicit PxTable(const std::filesystem::path& file, const char* encoding = "UTF-8") {
        doc_ = PX_new3(&PxTable::onError, nullptr, nullptr, nullptr, this);
        if (PX_open_file(doc_, file.c_str()) < 0)
            throw std::runtime_error("pxlib cannot open " + file.string() + ": " + errors_);
        if (encoding != nullptr)
            PX_set_targetencoding(doc_, encoding);
    }
    ~PxTable() {
        PX_close(doc_);
        PX_delete(doc_);
    }
    PxTable(const PxTable&) = delete;
    PxTable& operator=(const PxTable&) = delete;

    const pxhead_t& head() const { return *doc_->px_head; }
    const std::string& errors() const { return errors_; }
    int records() const { return PX_get_num_records(doc_); }

    std::vector<std::string> fieldNames() const {
        std::vector<std::string> out;
        for (int i = 0; i < PX_get_num_fields(doc_); ++i)
            out.push_back(PX_get_field(doc_, i)->px_fname);
        return out;
    }

    std::vector<std::string> row(int recno) {
        pxval_t** values = PX_retrieve_record(doc_, recno);
        if (values == nullptr)
            throw std::runtime_error("pxlib cannot read record " + std::to_string(recno));
        std::vector<std::string> out;
        for (int i = 0; i < PX_get_num_fields(doc_); ++i) {
            out.push_back(text(*values[i]));
            if (values[i]->type == pxfAlpha || values[i]->type == pxfBCD ||
                values[i]->type == pxfBytes) {
                if (values[i]->value.str.val != nullptr)
                    doc_->free(doc_, values[i]->value.str.val);
            }
            doc_->free(doc_, values[i]);
        }
        doc_->free(doc_, values);
        return out;
    }

    // The record's bytes as stored, without pxlib's interpretation.
    std::vector<unsigned char> rawRecord(int recno) {
        std::vector<unsigned char> out(static_cast<std::size_t>(PX_get_recordsize(doc_)));
        if (PX_get_record(doc_, recno, reinterpret_cast<char*>(out.data())) == nullptr)
            throw std::runtime_error("pxlib cannot read record " + std::to_string(recno));
        return out;
    }

private:
    static void onError(pxdoc_t* doc, int, const char* message, void*) {
        static_cast<PxTable*>(doc->errorhandler_user_data)->errors_ += std::string(message) + "\n";
    }

    static std::string text(const pxval_t& v) {
        if (v.isnull)
            return "NULL";
        char buffer[64];
        switch (v.type) {
        case pxfAlpha:
        case pxfBCD:
            return std::string(v.value.str.val, static_cast<std::size_t>(v.value.str.len));
        case pxfBytes: {
            std::string hex;
            for (int i = 0; i < v.value.str.len; ++i) {
                std::snprintf(buffer, sizeof buffer, "%02X",
                              static_cast<unsigned char>(v.value.str.val[i]));
                hex += buffer;
            }
            return hex;
        }
        case pxfNumber:
        case pxfCurrency:
        case pxfTimestamp:
            std::snprintf(buffer, sizeof buffer, "%.17g", v.value.dval);
            return buffer;
        default:
            return std::to_string(v.value.lval);
        }
    }

    pxdoc_t* doc_ = nullptr;
    std::string errors_;
};

} // namespace writertest
