#pragma once
// TOrvMail and TOrvSupportMail: a message to the vendor's support opened in
// the user's e-mail program through a "mailto:" address, its attachments
// packed into "Vedlegg.RenameToZip" and placed on the clipboard for pasting.
//
// Invariants:
// - With AllowedDirectory set, only ordinary files directly in it are
//   attached: a pattern that climbs out with "..", a link, or a file
//   elsewhere is refused with an Error before anything is packed.
// - The subject and the body are UTF-8 and URL-encoded in the address.

#include <string>
#include <vector>

namespace lagrull {

class Ui;
class TDesktop;

inline constexpr const char* kAttachmentArchive = "Vedlegg.RenameToZip";

class TOrvMail {
public:
    TOrvMail(Ui& ui, TDesktop& desktop);

    std::vector<std::string> ToAddress;
    std::string Subject;
    std::vector<std::string> Text;         // lines
    std::vector<std::string> Attachments;  // files, each maybe a wildcard pattern
    bool Zip = false;
    bool ShowZipProgress = false;
    std::string TempDirectory;     // where the archive is written; trailing "/"
    std::string AllowedDirectory;  // empty: attachments from anywhere

    // "mailto:" + addresses + "?subject=" + subject [+ "&body=" + text].
    std::string MailtoAddress() const;
    // The files matching the attachment patterns, by name.
    std::vector<std::string> CollectAttachments() const;
    // Packs, places on the clipboard, asks, opens the mail program. The
    // attachments handed on (the archive alone when zipped) are kept.
    void Send();
    const std::vector<std::string>& Attached() const { return attached_; }

private:
    std::string pack(const std::vector<std::string>& files) const;

    Ui& ui_;
    TDesktop& desktop_;
    std::vector<std::string> attached_;
};

// The names of the files in a zip archive, in archive order.
std::vector<std::string> ArchiveEntries(const std::string& archive);

class TOrvSupportMail {
public:
    TOrvSupportMail(Ui& ui, TDesktop& desktop, std::string address, std::string productName,
                    std::string version, std::string tempDirectory);

    std::vector<std::string> Attachments;  // patterns, empty at creation
    std::string Body;
    std::string DataDirectory;  // attachments must lie in it when set

    // "Support - Epost til Brakvi, inkl. datafiler": the register's files.
    void AddDataFiles(const std::string& dataDirectory);
    // Builds the TOrvMail and sends it; the mail's state is left for reading.
    void Send();
    const TOrvMail& Mail() const { return mail_; }

private:
    TOrvMail mail_;
    std::string address_, productName_, version_;
};

}  // namespace lagrull
