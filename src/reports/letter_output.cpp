#include "reports/letter_output.h"

#include "common/file_names.h"
#include "template/layout/rtf_document_builder.h"

namespace lagrull::reports {

void TPrinterLetters::Print(const std::filesystem::path& rtf, const TLetterMember&) {
    TRTFDocumentBuilder builder(printer_);
    builder.PrintFile(rtf.string());
    if (afterJob_) afterJob_();
}

TPdfLetters::TPdfLetters(TPrinterSystem& pdf)
    : pdf_(pdf), builder_(std::make_unique<TRTFDocumentBuilder>(pdf)) {}

TPdfLetters::~TPdfLetters() {
    try {
        Finish();
    } catch (...) {  // a destructor lets nothing out; the file is left as it is
    }
}

void TPdfLetters::Print(const std::filesystem::path& rtf, const TLetterMember&) {
    if (!begun_) {
        builder_->BeginPrinting();
        begun_ = true;
    }
    builder_->PrintFile(rtf.string());
}

void TPdfLetters::Finish() {
    if (!begun_) return;
    begun_ = false;
    builder_->EndPrinting();
    pdf_.requireWritten();
}

std::string LetterFileName(const TLetterMember& member) {
    std::string name = member.medlnr + "_" + member.enavn;
    for (char& c : name) {
        const auto u = static_cast<unsigned char>(c);
        // Bytes of UTF-8 letters (æ, ø, å) stay; separators and controls go.
        if (u < 0x20 || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' ||
            c == '<' || c == '>' || c == '|' || c == ' ')
            c = '_';
    }
    return name + ".pdf";
}

void TPdfLettersPerMember::Print(const std::filesystem::path& rtf, const TLetterMember& member) {
    if (rows_.empty()) std::filesystem::create_directories(directory_);
    const std::string base = LetterFileName(member);
    std::string file = base;
    // Two members of one number and surname: the later files get a suffix.
    for (int n = 2; files_.count(file); ++n)
        file = base.substr(0, base.size() - 4) + "_" + std::to_string(n) + ".pdf";
    std::unique_ptr<TPrinterSystem> device = make_((directory_ / file).string());
    TRTFDocumentBuilder(*device).PrintFile(rtf.string());
    device->requireWritten();
    files_.insert(file);
    const std::string navn =
        member.fornavn.empty() ? member.enavn : member.fornavn + " " + member.enavn;
    rows_.push_back({member.medlnr, navn, member.email, file});
}

std::string MailingCsv(const std::vector<TMailingRow>& rows) {
    const auto field = [](const std::string& v) {
        if (v.find_first_of(";\"\r\n") == std::string::npos) return v;
        std::string quoted = "\"";
        for (char c : v) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
        return quoted + "\"";
    };
    std::string text = "medlemsnr;navn;epost;fil\r\n";
    for (const TMailingRow& r : rows)
        text += field(r.medlnr) + ";" + field(r.navn) + ";" + field(r.email) + ";" + field(r.file) +
                "\r\n";
    return text;
}

void TPdfLettersPerMember::Finish() {
    writeFileBytes(directory_ / "utsendelse.csv", MailingCsv(rows_));
}

}  // namespace lagrull::reports
