#include "services/web_installer.h"

#include <curl/curl.h>
#include <openssl/evp.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "common/error.h"
#include "common/text_codec.h"
#include "common/ui.h"
#include "services/desktop.h"

namespace lagrull {

namespace {

constexpr std::array<std::int64_t, 4> kVersionWeights = {10000000, 100000, 1000, 1};
constexpr const char* kNoVersion = "0000";
constexpr std::string_view kSha256Key = "SHA256=";
constexpr std::size_t kSha256Hex = 64;
constexpr auto kProgressInterval = std::chrono::milliseconds(100);

struct CurlDeleter {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

struct Transfer {
    std::FILE* file;
    const std::function<void(long long)>* progress;
    long long bytes = 0;
};

std::size_t writeData(char* data, std::size_t size, std::size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const std::size_t written = std::fwrite(data, size, count, t->file) * size;
    t->bytes += static_cast<long long>(written);
    if (*t->progress) (*t->progress)(t->bytes);
    return written;
}

std::string extensionChanged(const std::string& path, const std::string& extension) {
    return std::filesystem::path(path).replace_extension(extension).string();
}

}  // namespace

std::int64_t VersionValue(std::string_view version) {
    std::int64_t value = 0;
    for (std::size_t part = 0; part < kVersionWeights.size(); ++part) {
        const std::size_t dot = version.find('.');
        const std::string_view text = version.substr(0, dot);
        std::int64_t n = 0;
        bool numeric = !text.empty();
        for (char c : text) {
            if (c < '0' || c > '9' || n > INT64_MAX / 100) {
                numeric = false;
                break;
            }
            n = n * 10 + (c - '0');
        }
        if (numeric) value += n * kVersionWeights[part];
        if (dot == std::string_view::npos) break;
        version.remove_prefix(dot + 1);
    }
    return value;
}

bool VersionIsNewer(std::string_view remote, std::string_view running) {
    return VersionValue(remote) > VersionValue(running);
}

void FetchUrl(const std::string& url, const std::string& file, const std::string& caFile,
              const std::function<void(long long bytes)>& progress) {
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl) throw Error("Kan ikke starte nedlastingen.");
    std::unique_ptr<std::FILE, FileCloser> out(std::fopen(file.c_str(), "wb"));
    if (!out) throw FileError("Kan ikke opprette filen " + file);
    Transfer transfer{out.get(), &progress};
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_PROTOCOLS_STR, "https");
    curl_easy_setopt(curl.get(), CURLOPT_REDIR_PROTOCOLS_STR, "https");
    curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT, 20L);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, writeData);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &transfer);
    if (!caFile.empty()) curl_easy_setopt(curl.get(), CURLOPT_CAINFO, caFile.c_str());
    const CURLcode rc = curl_easy_perform(curl.get());
    if (std::fclose(out.release()) != 0 && rc == CURLE_OK)
        throw FileError("Kan ikke skrive filen " + file);
    if (rc != CURLE_OK) {
        std::error_code ec;
        std::filesystem::remove(file, ec);
        throw Error(std::string("Kunne ikke hente ") + url + ": " + curl_easy_strerror(rc));
    }
}

std::string FileSha256(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw FileError("Kan ikke lese filen " + file);
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    EVP_DigestInit_ex(ctx.get(), EVP_sha256(), nullptr);
    std::array<char, 65536> buffer{};
    while (in.read(buffer.data(), buffer.size()) || in.gcount() > 0)
        EVP_DigestUpdate(ctx.get(), buffer.data(), static_cast<std::size_t>(in.gcount()));
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int length = 0;
    EVP_DigestFinal_ex(ctx.get(), digest.data(), &length);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        hex += kHex[digest[i] >> 4];
        hex += kHex[digest[i] & 15];
    }
    return hex;
}

TOrvWebInstaller::TOrvWebInstaller(Ui& ui, TDesktop& desktop) : ui_(ui), desktop_(desktop) {}

std::string TOrvWebInstaller::RemoteVersion() {
    if (!version_.empty()) return version_;
    if (RemotePathname.empty()) throw Error("RemotePath ikke angitt!");
    const std::string remote = extensionChanged(RemotePathname, ".ver");
    const std::string local =
        !LocalPathname.empty()
            ? extensionChanged(LocalPathname, ".ver")
            : (std::filesystem::path(TempDirectory) / std::filesystem::path(remote).filename())
                  .string();
    version_ = kNoVersion;
    sha256_.clear();
    try {
        FetchUrl("https://" + Hostname + remote, local, CaFile);
    } catch (const Error& e) {
        ui_.message("Feil", e.what(), Buttons::Ok, Icon::Error);
        return version_;
    }
    std::ifstream in(local, std::ios::binary);
    std::string line;
    if (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] >= '0' && line[0] <= '9') version_ = line;
    }
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (upperCase(line.substr(0, kSha256Key.size())) == kSha256Key &&
            line.size() == kSha256Key.size() + kSha256Hex)
            sha256_ = lowerCase(line.substr(kSha256Key.size()));
    }
    return version_;
}

std::string TOrvWebInstaller::CheckNewVersion() {
    const std::string remote = RemoteVersion();
    return VersionIsNewer(remote, RunningVersion) ? remote : std::string();
}

bool TOrvWebInstaller::DownloadAndInstall() {
    try {
        namespace fs = std::filesystem;
        if (fs::path(LocalPathname).has_parent_path())
            fs::create_directories(fs::path(LocalPathname).parent_path());
        else
            LocalPathname =
                (fs::path(TempDirectory) / fs::path(RemotePathname).filename()).string();
        if (!VersionIsNewer(RemoteVersion(), RunningVersion)) {
            ui_.information("Oppdatering unødvendig", "Du har den nyeste versjonen av programmet");
            return false;
        }
        {
            struct Shown {
                TProgressForm* form;
                ~Shown() {
                    if (form) form->Close();
                }
            } shown{Progress};
            if (Progress) Progress->Show("Henter ny versjon fra " + Hostname + " ...");
            auto last = std::chrono::steady_clock::now();
            long long received = 0;
            FetchUrl("https://" + Hostname + RemotePathname, LocalPathname, CaFile,
                     [&](long long bytes) {
                         received = bytes;
                         const auto now = std::chrono::steady_clock::now();
                         if (now - last < kProgressInterval) return;
                         last = now;
                         if (Progress) Progress->Bytes(bytes);
                         ui_.processEvents();
                     });
            if (Progress) Progress->Bytes(received);
        }
        std::error_code ec;
        if (sha256_.empty()) {
            fs::remove(LocalPathname, ec);
            throw Error(
                "Versjonsfilen på " + Hostname +
                " oppgir ingen SHA-256-sjekksum for installasjonsfilen. Oppdateringen er stoppet.");
        }
        if (FileSha256(LocalPathname) != sha256_) {
            fs::remove(LocalPathname, ec);
            throw Error("Installasjonsfilen fra " + Hostname +
                        " stemmer ikke med sjekksummen i versjonsfilen. Oppdateringen er "
                        "stoppet.");
        }
        return install();
    } catch (const Error& e) {
        ui_.message("Feil", e.what(), Buttons::Ok, Icon::Error);
        return false;
    }
}

// A package (".deb", ".msi") goes to the desktop's package installer; any
// other installer runs while the program waits, and then the program ends.
bool TOrvWebInstaller::install() {
    const std::string upper = upperCase(LocalPathname);
    const bool package =
        upper.find(".MSI") != std::string::npos || upper.find(".DEB") != std::string::npos;
    if (package ? desktop_.OpenUrl(LocalPathname) : desktop_.RunAndWait(LocalPathname)) {
        if (!package) desktop_.Quit();
        return true;
    }
    ui_.message("Feil", "Kunne ikke starte installasjonen " + LocalPathname, Buttons::Ok,
                Icon::Error);
    return false;
}

}  // namespace lagrull
