#include "data/paradox/paradox_table.h"

// pxlib's header declares its C functions without C linkage.
extern "C" {
#include <paradox.h>
}

#include <algorithm>
#include <mutex>

#include "common/log.h"

namespace lagrull::data {

namespace fs = std::filesystem;

namespace {

// pxlib reports through a callback; the last message is kept for ours.
void keepMessage(pxdoc_t*, int, const char* message, void* data) {
    auto* last = static_cast<std::string*>(data);
    *last = message ? message : "";
    appLog().writeLine(std::string("pxlib: ") + *last);
}

void bootPxlib() {
    static std::once_flag once;
    std::call_once(once, [] { PX_boot(); });
}

FieldType fieldType(int pxType) {
    switch (pxType) {
        case pxfAlpha: return FieldType::String;
        case pxfShort:
        case pxfLong:
        case pxfAutoInc: return FieldType::Integer;
        case pxfLogical: return FieldType::Boolean;
        case pxfNumber:
        case pxfCurrency: return FieldType::Float;
        default: return FieldType::String;
    }
}

bool knownType(int pxType) {
    switch (pxType) {
        case pxfAlpha:
        case pxfShort:
        case pxfLong:
        case pxfAutoInc:
        case pxfLogical:
        case pxfNumber:
        case pxfCurrency: return true;
        default: return false;
    }
}

// The stored width a type must have; 0 for alpha (any width up to 255).
int fixedWidth(int pxType) {
    switch (pxType) {
        case pxfShort: return 2;
        case pxfLong:
        case pxfAutoInc: return 4;
        case pxfLogical: return 1;
        case pxfNumber:
        case pxfCurrency: return 8;
        default: return 0;
    }
}

}  // namespace

struct ParadoxTable::Doc {
    std::string lastMessage;
    pxdoc_t* px = nullptr;
    bool opened = false;
    ~Doc() {
        if (!px) return;
        if (opened) PX_close(px);
        PX_delete(px);
    }
};

ParadoxTable::ParadoxTable(const fs::path& file)
    : name_(file.filename().string()), doc_(std::make_unique<Doc>()) {
    bootPxlib();
    std::error_code ec;
    const auto size = fs::file_size(file, ec);
    if (ec) throw Error("Tabellen " + name_ + " finnes ikke eller kan ikke leses.");
    doc_->px = PX_new3(keepMessage, nullptr, nullptr, nullptr, &doc_->lastMessage);
    if (!doc_->px) throw Error("Tabellen " + name_ + " kan ikke åpnes: for lite minne.");
    if (size < 0x58 || PX_open_file(doc_->px, file.string().c_str()) < 0)
        damaged("fila er ikke en Paradox-tabell");
    doc_->opened = true;

    const pxhead_t* head = doc_->px->px_head;
    if (!head) damaged("tabellhodet mangler");
    if (head->px_filetype != pxfFileTypIndexDB && head->px_filetype != pxfFileTypNonIndexDB)
        damaged("fila er ikke en datatabell");
    if (head->px_numfields <= 0 || head->px_numfields > 255 || head->px_recordsize <= 0)
        damaged("tabellhodet er ødelagt");
    if (head->px_primarykeyfields < 0 || head->px_primarykeyfields > head->px_numfields)
        damaged("tabellhodet oppgir en ugyldig primærnøkkel");
    if (head->px_numrecords < 0 || static_cast<std::uintmax_t>(head->px_headersize) > size)
        damaged("tabellhodet er ødelagt");
    switch (head->px_doscodepage) {
        case 1252: codePage_ = CodePage::Windows1252; break;
        case 865: codePage_ = CodePage::Dos865; break;
        default:
            throw Error("Tabellen " + name_ + " bruker tegntabell " +
                        std::to_string(head->px_doscodepage) +
                        ", som programmet ikke kan lese (bare 1252 og 865).");
    }

    int widthSum = 0;
    for (int i = 0; i < head->px_numfields; ++i) {
        const pxfield_t& f = head->px_fields[i];
        const std::string fieldName = f.px_fname ? toUtf8(f.px_fname, codePage_) : "";
        const int type = static_cast<unsigned char>(f.px_ftype);
        if (!knownType(type))
            throw Error("Tabellen " + name_ + " har feltet " + fieldName +
                        " av en type programmet ikke kjenner (" + std::to_string(type) + ").");
        if (f.px_flen <= 0 || f.px_flen > 255 ||
            (fixedWidth(type) && f.px_flen != fixedWidth(type)))
            damaged("feltet " + fieldName + " har en ugyldig bredde");
        TFieldInfo info;
        info.Name = upperCase(fieldName);
        info.DataType = fieldType(type);
        info.Size = type == pxfAlpha ? f.px_flen : 0;
        info.PrimaryKey = i < head->px_primarykeyfields;
        fields_.push_back(info);
        types_.push_back(type);
        widths_.push_back(f.px_flen);
        widthSum += f.px_flen;
    }
    if (widthSum != head->px_recordsize) damaged("postlengden stemmer ikke med feltene");
    records_ = head->px_numrecords;
    fileSize_ = size;
    record_.resize(static_cast<std::size_t>(head->px_recordsize));
}

ParadoxTable::~ParadoxTable() = default;

void ParadoxTable::damaged(const std::string& detail) const {
    throw Error("Tabellen " + name_ + " er skadet og kan ikke leses: " + detail + ".");
}

Value ParadoxTable::fieldValue(int field, char* data) {
    pxdoc_t* px = doc_->px;
    const int width = widths_[static_cast<std::size_t>(field)];
    const int type = types_[static_cast<std::size_t>(field)];
    // A field never written is all zero bytes (pxlib reads a long as -2^31).
    if (type != pxfAlpha && std::all_of(data, data + width, [](char c) { return c == 0; }))
        return Value{};
    switch (type) {
        case pxfAlpha: {
            // Padded with NUL bytes; an all-NUL field is empty.
            std::size_t n = 0;
            while (n < static_cast<std::size_t>(width) && data[n] != '\0') ++n;
            if (n == 0) return Value{};
            return Value(toUtf8(std::string_view(data, n), codePage_));
        }
        case pxfShort: {
            short v = 0;
            if (PX_get_data_short(px, data, width, &v) <= 0) return Value{};
            return Value(std::int64_t(v));
        }
        case pxfLong:
        case pxfAutoInc: {
            long v = 0;
            if (PX_get_data_long(px, data, width, &v) <= 0) return Value{};
            return Value(std::int64_t(v));
        }
        case pxfLogical: {
            char v = 0;
            if (PX_get_data_byte(px, data, width, &v) <= 0) return Value{};
            return Value(std::int64_t(v != 0));
        }
        default: {
            double v = 0;
            if (PX_get_data_double(px, data, width, &v) <= 0) return Value{};
            return Value(v);
        }
    }
}

void ParadoxTable::read(long long n, std::vector<Value>& values) {
    const std::string where = "Tabellen " + name_ + ", post " + std::to_string(n + 1);
    if (n < 0 || n >= records_) throw EParadoxRecord(where, "finnes ikke");
    doc_->lastMessage.clear();
    int deleted = 0;
    pxdatablockinfo_t block{};
    // pxlib reads past the end of a cut-off file without a word.
    if (!PX_get_record2(doc_->px, static_cast<int>(n), record_.data(), &deleted, &block) ||
        block.recordpos < 0 ||
        static_cast<std::uintmax_t>(block.recordpos) + record_.size() > fileSize_)
        throw EParadoxRecord(where, "kan ikke leses, fila er skadet eller avkortet");
    values.clear();
    char* data = record_.data();
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        values.push_back(fieldValue(static_cast<int>(i), data));
        data += widths_[i];
    }
}

}  // namespace lagrull::data
