#include "services/support_mail.h"

#include <curl/curl.h>
#include <fnmatch.h>
#include <zip.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "common/error.h"
#include "common/ui.h"
#include "services/desktop.h"

namespace lagrull {

namespace fs = std::filesystem;

namespace {

// The register's files in its data directory: the database and its
// journal of the latest changes.
constexpr const char* kRegisterPatterns[] = {"*.db", "*.db-wal"};

std::string escaped(const std::string& text) {
    std::unique_ptr<char, decltype(&curl_free)> out(
        curl_easy_escape(nullptr, text.c_str(), static_cast<int>(text.size())), curl_free);
    if (!out) throw Error("For lite minne");
    return out.get();
}

std::string joined(const std::vector<std::string>& parts, const std::string& between) {
    std::string out;
    for (const std::string& p : parts) out += (out.empty() ? "" : between) + p;
    return out;
}

// A directory as the file system has it, without a trailing separator.
fs::path canonicalDirectory(const fs::path& p) {
    std::error_code ec;
    fs::path c = fs::weakly_canonical(p, ec);
    return c.has_filename() ? c : c.parent_path();
}

[[noreturn]] void refuse(const std::string& what) {
    throw Error("Vedlegget " + what + " ligger utenfor datakatalogen og blir ikke sendt.");
}

}  // namespace

TOrvMail::TOrvMail(Ui& ui, TDesktop& desktop) : ui_(ui), desktop_(desktop) {}

std::string TOrvMail::MailtoAddress() const {
    std::string url = "mailto:" + joined(ToAddress, ";");
    std::string separator = "?";
    if (!Subject.empty()) {
        url += separator + "subject=" + escaped(Subject);
        separator = "&";
    }
    const std::string text = joined(Text, "\r\n");
    if (text.find_first_not_of("\r\n") != std::string::npos)
        url += separator + "body=" + escaped(text + "\r\n");
    return url;
}

std::vector<std::string> TOrvMail::CollectAttachments() const {
    std::vector<std::string> files;
    std::error_code ec;
    const fs::path allowed =
        AllowedDirectory.empty() ? fs::path() : canonicalDirectory(AllowedDirectory);
    for (const std::string& pattern : Attachments) {
        const fs::path p(pattern);
        for (const fs::path& part : p)
            if (part == "..") refuse(pattern);
        const fs::path directory = p.has_parent_path() ? p.parent_path() : fs::path(".");
        if (!allowed.empty() && canonicalDirectory(directory) != allowed) refuse(pattern);
        const std::string glob = p.filename().string();
        for (const fs::directory_entry& e : fs::directory_iterator(directory, ec)) {
            const std::string name = e.path().filename().string();
            if (fnmatch(glob.c_str(), name.c_str(), FNM_PERIOD) != 0) continue;
            if (e.is_symlink()) {
                if (!allowed.empty()) refuse(e.path().string());
                continue;
            }
            if (e.is_regular_file()) files.push_back(e.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    return files;
}

std::string TOrvMail::pack(const std::vector<std::string>& files) const {
    std::string archive = (fs::path(TempDirectory) / kAttachmentArchive).string();
    std::error_code ec;
    fs::remove(archive, ec);
    const Error failure("Kunne ikke opprette zip-fil for epostvedlegg!");
    int code = 0;
    zip_t* zip = zip_open(archive.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!zip) throw failure;
    for (const std::string& file : files) {
        const std::string name = fs::path(file).filename().string();
        if (ShowZipProgress) {
            ui_.showWait("Pakker filvedlegg...", name);
            ui_.processEvents();
        }
        zip_source_t* source = zip_source_file(zip, file.c_str(), 0, -1);
        if (!source || zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_UTF_8) < 0) {
            if (source) zip_source_free(source);
            zip_discard(zip);
            if (ShowZipProgress) ui_.closeWait();
            throw failure;
        }
    }
    const bool closed = zip_close(zip) == 0;
    if (ShowZipProgress) ui_.closeWait();
    if (!closed) {
        zip_discard(zip);
        throw failure;
    }
    return archive;
}

void TOrvMail::Send() {
    attached_ = CollectAttachments();
    if (Zip && !attached_.empty()) attached_ = {pack(attached_)};
    if (!attached_.empty()) {
        if (!desktop_.PutFilesOnClipboard(attached_))
            throw Error("Kunne ikke allokere minne for filoverføring via utklippstavlen.");
        ui_.message("Sende epost med vedlegg fra Brakvi-applikasjon",
                    "Filvedlegg er klargjort i utklippstavlen. Kjør 'Lim inn' kommando i "
                    "epostprogrammet for å sette inn filvedlegg.\r\rKlikk OK for å gå videre for "
                    "å starte epostprogrammet (evt start manuelt dersom det ikke startes "
                    "automatisk)",
                    Buttons::OkCancel, Icon::Information);
    }
    if (!desktop_.OpenUrl(MailtoAddress()))
        ui_.message("Mailto shell error!", "Kunne ikke starte epost klient!", Buttons::Ok,
                    Icon::Error);
}

std::vector<std::string> ArchiveEntries(const std::string& archive) {
    int code = 0;
    zip_t* zip = zip_open(archive.c_str(), ZIP_RDONLY, &code);
    if (!zip) throw FileError("Kan ikke lese arkivet " + archive);
    std::vector<std::string> names;
    for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i)
        names.emplace_back(zip_get_name(zip, static_cast<zip_uint64_t>(i), 0));
    zip_discard(zip);
    return names;
}

TOrvSupportMail::TOrvSupportMail(Ui& ui, TDesktop& desktop, std::string address,
                                 std::string productName, std::string version,
                                 std::string tempDirectory)
    : mail_(ui, desktop),
      address_(std::move(address)),
      productName_(std::move(productName)),
      version_(std::move(version)) {
    mail_.TempDirectory = std::move(tempDirectory);
}

void TOrvSupportMail::AddDataFiles(const std::string& dataDirectory) {
    DataDirectory = dataDirectory;
    for (const char* pattern : kRegisterPatterns)
        Attachments.push_back((fs::path(dataDirectory) / pattern).string());
}

void TOrvSupportMail::Send() {
    mail_.ToAddress = {address_};
    mail_.Subject = "Support " + productName_ + " " + version_;
    mail_.Text = Body.empty() ? std::vector<std::string>{} : std::vector<std::string>{Body};
    mail_.Attachments = Attachments;
    mail_.AllowedDirectory = DataDirectory;
    mail_.Zip = true;
    mail_.ShowZipProgress = true;
    mail_.Send();
}

}  // namespace lagrull
