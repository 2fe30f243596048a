#pragma once
// TOrvWebInstaller: the vendor's version file and installer, fetched over
// HTTPS from Hostname.
//
// Invariants:
// - Only HTTPS with the server's certificate checked: a program that
//   downloads and runs code does not trust an unauthenticated connection.
// - An installer is handed on only when the version file names its SHA-256
//   ("SHA256=" and 64 hex digits on a later line) and the download matches
//   it; otherwise the file is removed and the update stops with a message.
// - The remote version is fetched once and cached; a failed fetch shows
//   "Feil" with the failure's text and counts as "0000".

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace lagrull {

class Ui;
class TDesktop;

// a.b.c.d as d + c·1 000 + b·100 000 + a·10 000 000 (a missing or
// non-numeric part is 0), in 64 bits.
std::int64_t VersionValue(std::string_view version);
bool VersionIsNewer(std::string_view remote, std::string_view running);

// Fetches an https URL into a file; the byte count so far goes to
// `progress`. Throws Error with the failure's text. `caFile`: a certificate
// file to trust besides the system's (empty: the system's only).
void FetchUrl(const std::string& url, const std::string& file, const std::string& caFile,
              const std::function<void(long long bytes)>& progress = {});

// The SHA-256 of a file in lower-case hex.
std::string FileSha256(const std::string& file);

// "TProgressForm": the download's window (caption "Filoverføring"), with
// the host being fetched from and the bytes received. Qt implements it.
class TProgressForm {
public:
    virtual ~TProgressForm() = default;
    // Shows the window with the label HostnameString and "0 bytes overført".
    virtual void Show(const std::string& hostnameString) = 0;
    virtual void Bytes(long long received) = 0;  // stProgress
    virtual void Close() = 0;
};

class TOrvWebInstaller {
public:
    TOrvWebInstaller(Ui& ui, TDesktop& desktop);

    std::string LocalPathname;   // empty: the temporary directory
    std::string RemotePathname;  // "/download/LagrullUpdate.deb"
    std::string Hostname;
    std::string RunningVersion;         // the program's FileVersion
    std::string TempDirectory;          // trailing "/"
    std::string CaFile;                 // see FetchUrl
    TProgressForm* Progress = nullptr;  // nullptr: the download shows nothing

    // The version file's first line when it begins with a digit, else "0000".
    std::string RemoteVersion();
    // RemoteVersion when it is newer than the running version, else empty.
    std::string CheckNewVersion();
    // Fetches and runs the installer; false when nothing was installed.
    bool DownloadAndInstall();

private:
    bool install();

    Ui& ui_;
    TDesktop& desktop_;
    std::string version_;  // cached; empty until fetched
    std::string sha256_;   // from the version file
};

}  // namespace lagrull
