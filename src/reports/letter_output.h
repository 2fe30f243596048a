#pragma once
// Where the letter run sends its merged letters: the printer (each letter a
// job of its own), one PDF file (all letters, one job), or one PDF file per
// member with "utsendelse.csv" beside them for any mail-merge tool. Every
// one lays the letters out through the page layout on a printer system; the
// program and lagrul-cli hand in the printer or the PDF device.

#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "reports/brev.h"

namespace lagrull {
class TPrinterSystem;
class TRTFDocumentBuilder;
}  // namespace lagrull

namespace lagrull::reports {

class TPrinterLetters : public TLetterOutput {
public:
    // `afterJob`: runs after each letter's job (hands it to the spooler).
    explicit TPrinterLetters(TPrinterSystem& printer, std::function<void()> afterJob = {})
        : printer_(printer), afterJob_(std::move(afterJob)) {}
    void Print(const std::filesystem::path& rtf, const TLetterMember& member) override;

private:
    TPrinterSystem& printer_;
    std::function<void()> afterJob_;
};

// All letters in one job on `pdf`, the PDF device of one file; Finish
// throws FileError when the file was not written.
class TPdfLetters : public TLetterOutput {
public:
    explicit TPdfLetters(TPrinterSystem& pdf);
    ~TPdfLetters() override;
    void Print(const std::filesystem::path& rtf, const TLetterMember& member) override;
    void Finish() override;

private:
    TPrinterSystem& pdf_;
    std::unique_ptr<TRTFDocumentBuilder> builder_;
    bool begun_ = false;
};

struct TMailingRow {
    std::string medlnr, navn, email, file;
};

class TPdfLettersPerMember : public TLetterOutput {
public:
    // `pdfDevice(file)`: the PDF device writing that file.
    using MakeDevice = std::function<std::unique_ptr<TPrinterSystem>(const std::string& file)>;
    TPdfLettersPerMember(std::filesystem::path directory, MakeDevice pdfDevice)
        : directory_(std::move(directory)), make_(std::move(pdfDevice)) {}
    // Throws FileError when the member's file was not written; the letters
    // before it stay.
    void Print(const std::filesystem::path& rtf, const TLetterMember& member) override;
    // Writes "utsendelse.csv".
    void Finish() override;
    const std::vector<TMailingRow>& Rows() const { return rows_; }

private:
    std::filesystem::path directory_;
    MakeDevice make_;
    std::vector<TMailingRow> rows_;
    std::set<std::string> files_;  // the rows' file names
};

// "12_Hansen.pdf": the member number and surname, with any character that
// does not belong in a file name made "_".
std::string LetterFileName(const TLetterMember& member);
// The mailing list: a header line, then one line per letter, ";"-separated,
// fields with ";" or '"' in quotes; UTF-8, CR LF.
std::string MailingCsv(const std::vector<TMailingRow>& rows);

}  // namespace lagrull::reports
