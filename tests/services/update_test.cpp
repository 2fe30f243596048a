// The online update and the support mail. The update runs end to end
// against an HTTPS server on loopback with a self-signed certificate that
// only this test trusts: the version file, the download, good and bad
// checksums, "Oppdatering unødvendig", and a failed fetch giving "0000".
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "common/error.h"
#include "common/ini.h"
#include "scripted_ui.h"
#include "services/desktop.h"
#include "services/support_mail.h"
#include "services/version_update.h"
#include "services/web_installer.h"
#include "temp_dir.h"

using namespace lagrull;
using namespace lagrull::test;
namespace fs = std::filesystem;

namespace {

class FakeDesktop : public TDesktop {
public:
    std::vector<std::string> opened, clipboard, ran;
    bool quit = false;
    bool openWorks = true;
    bool OpenUrl(const std::string& url) override {
        opened.push_back(url);
        return openWorks;
    }
    bool PutFilesOnClipboard(const std::vector<std::string>& files) override {
        clipboard = files;
        return true;
    }
    bool RunAndWait(const std::string& program) override {
        ran.push_back(program);
        return true;
    }
    void Quit() override { quit = true; }
};

class FakeProgress : public TProgressForm {
public:
    std::vector<std::string> events;
    void Show(const std::string& hostnameString) override { events.push_back(hostnameString); }
    void Bytes(long long received) override { events.push_back(std::to_string(received)); }
    void Close() override { events.emplace_back("lukket"); }
};

class FakeAutoUpdate : public TAutoUpdateStep {
public:
    bool ok = true;
    int shown = 0;
    bool ShowModal() override {
        ++shown;
        return ok;
    }
};

// python3's HTTPS server on 127.0.0.1 serving a directory, with a
// certificate made for the run.
class LocalHttps {
public:
    explicit LocalHttps(const fs::path& root) : certDir_() {
        const std::string cert = (certDir_.path() / "cert.pem").string(),
                          key = (certDir_.path() / "key.pem").string();
        const std::string make =
            "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=localhost "
            "-addext subjectAltName=IP:127.0.0.1 -keyout " +
            key + " -out " + cert + " 2>/dev/null";
        EXPECT_EQ(std::system(make.c_str()), 0);
        caFile = cert;
        int out[2];
        EXPECT_EQ(pipe(out), 0);
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], 1);
            std::freopen("/dev/null", "w", stderr);
            close(out[0]);
            const char* script =
                "import http.server, ssl, sys, os\n"
                "os.chdir(sys.argv[1])\n"
                "s = http.server.HTTPServer(('127.0.0.1', 0), "
                "http.server.SimpleHTTPRequestHandler)\n"
                "c = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)\n"
                "c.load_cert_chain(sys.argv[2], sys.argv[3])\n"
                "s.socket = c.wrap_socket(s.socket, server_side=True)\n"
                "print(s.server_address[1], flush=True)\n"
                "s.serve_forever()\n";
            execlp("python3", "python3", "-c", script, root.c_str(), cert.c_str(), key.c_str(),
                   nullptr);
            _exit(127);
        }
        close(out[1]);
        // The port comes as one line; a read may give part of it.
        std::string port;
        char c = 0;
        while (read(out[0], &c, 1) == 1 && c != '\n') port += c;
        close(out[0]);
        host = "127.0.0.1:" + port;
    }
    ~LocalHttps() {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    std::string host, caFile;

private:
    TempDir certDir_;
    pid_t pid_ = -1;
};

std::string sha256Of(const std::string& content, const TempDir& dir) {
    return FileSha256(dir.write("sum.tmp", content).string());
}

class UpdateTest : public ::testing::Test {
protected:
    UpdateTest() {
        fs::create_directories(server.path() / "download");
        fs::create_directories(program.path() / "tmp");
    }
    // The program in its own writable data directory, the server's host in
    // the settings file.
    TUpdateSetting setting(const std::string& host, const std::string& caFile) {
        TOrvIni::writeValue(program.path() / "lagrul.ini", "Config", "Vert", host);
        const std::string dir = program.str() + "/";
        return {dir,          dir,        "lagrul", dir + "lagrul.ini", dir + "bruker.ini",
                dir + "tmp/", "2.1.0.15", caFile};
    }
    void publish(const std::string& version, const std::string& installer, const std::string& sum) {
        server.write("download/LagrullUpdate.ver", version + "\r\nSHA256=" + sum + "\r\n");
        server.write("download/LagrullUpdate.exe", installer);
    }

    TempDir server, program;
    ScriptedUi ui;
    FakeDesktop desktop;
};

}  // namespace

TEST(VersionTest, PartsAreWeightedNotComparedOneByOne) {
    EXPECT_EQ(VersionValue("2.1.0.15"), 20100015);
    EXPECT_EQ(VersionValue("2.1.1.0"), 20101000);
    EXPECT_TRUE(VersionIsNewer("2.1.1.0", "2.1.0.15"));
    EXPECT_EQ(VersionValue("2.10.0.0"), 21000000);
    EXPECT_EQ(VersionValue("2.9.99.999"), 20999999);
    EXPECT_TRUE(VersionIsNewer("2.10.0.0", "2.9.99.999"));
    EXPECT_EQ(VersionValue("1.1.0.0"), VersionValue("1.0.100.0"));
    EXPECT_FALSE(VersionIsNewer("1.1.0.0", "1.0.100.0"));
    EXPECT_EQ(VersionValue("3.x..7"), 30000007);  // missing and non-numeric parts count 0
    EXPECT_EQ(VersionValue("0000"), 0);
}

TEST_F(UpdateTest, DownloadsAndRunsAnInstallerWhoseChecksumMatches) {
    LocalHttps https(server.path());
    publish("2.1.1.0", "installer", sha256Of("installer", server));
    TVersionUpdate update(ui, desktop, setting(https.host, https.caFile));
    ASSERT_TRUE(update.KanOppdatere);
    EXPECT_EQ(update.Kind, TUpdateKind::OwnDirectory);
    EXPECT_EQ(update.RemotePath, "/download/LagrullUpdate.exe");
    EXPECT_TRUE(update.ForsteGang);
    FakeProgress progress;
    update.Installer->Progress = &progress;
    FakeAutoUpdate window;
    update.ManualUpdate(window);
    EXPECT_EQ(progress.events, (std::vector<std::string>{
                                   "Henter ny versjon fra " + https.host + " ...", "9", "lukket"}));
    EXPECT_EQ(window.Caption, "Lagrull - Auto oppdatering");
    EXPECT_EQ(window.AutoCheckCaption, "Automatisk sjekk hver gang Lagrull startes opp");
    const std::string local = program.str() + "/tmp/LagrullUpdate.exe";
    EXPECT_EQ(desktop.ran, std::vector<std::string>{local});
    EXPECT_TRUE(desktop.quit);
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.at(0).text;
    EXPECT_EQ(TOrvIni::readValue(program.path() / "bruker.ini", "VersionUpdate", "Auto"), "Nei");
}

TEST_F(UpdateTest, AWrongOrMissingChecksumStopsTheUpdate) {
    LocalHttps https(server.path());
    struct Case {
        const char* what;
        std::string versionFile;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"a checksum of other bytes", "2.1.1.0\r\nSHA256=" + sha256Of("annet", server) + "\r\n",
         "stemmer ikke med sjekksummen i versjonsfilen. Oppdateringen er stoppet."},
        {"no checksum", "2.1.1.0\r\n",
         "oppgir ingen SHA-256-sjekksum for installasjonsfilen. Oppdateringen er stoppet."},
    };
    for (const Case& c : cases) {
        server.write("download/LagrullUpdate.ver", c.versionFile);
        server.write("download/LagrullUpdate.exe", "installer");
        ui.messages.clear();
        TVersionUpdate update(ui, desktop, setting(https.host, https.caFile));
        FakeAutoUpdate window;
        update.ManualUpdate(window);
        ASSERT_EQ(ui.messages.size(), 1u) << c.what;
        EXPECT_EQ(ui.messages[0].caption, "Feil") << c.what;
        EXPECT_NE(ui.messages[0].text.find(c.message), std::string::npos) << ui.messages[0].text;
        EXPECT_FALSE(fs::exists(program.path() / "tmp/LagrullUpdate.exe")) << c.what;
    }
    EXPECT_TRUE(desktop.ran.empty());
}

TEST_F(UpdateTest, NoNewerVersionAndFailedFetchesOfferNothing) {
    LocalHttps https(server.path());
    struct Case {
        const char* what;
        std::string versionFile;  // empty: none on the server
        std::string caFile;
        const char* version;
        std::vector<std::string> captions;
    };
    const std::vector<Case> cases = {
        {"the same version", "2.1.0.15\r\n", https.caFile, "2.1.0.15", {"Oppdatering unødvendig"}},
        {"an empty first line", "\r\n2.9\r\n", https.caFile, "0000", {"Oppdatering unødvendig"}},
        {"a first line of letters", "v2.9\r\n", https.caFile, "0000", {"Oppdatering unødvendig"}},
        {"no version file", "", https.caFile, "0000", {"Feil", "Oppdatering unødvendig"}},
        {"a certificate not trusted", "9.0\r\n", "", "0000", {"Feil", "Oppdatering unødvendig"}},
    };
    for (const Case& c : cases) {
        fs::remove(server.path() / "download/LagrullUpdate.ver");
        if (!c.versionFile.empty()) server.write("download/LagrullUpdate.ver", c.versionFile);
        ui.messages.clear();
        TVersionUpdate update(ui, desktop, setting(https.host, c.caFile));
        FakeAutoUpdate window;
        update.ManualUpdate(window);
        EXPECT_EQ(update.Installer->RemoteVersion(), c.version) << c.what;
        std::vector<std::string> captions;
        for (const ShownMessage& m : ui.messages) captions.push_back(m.caption);
        EXPECT_EQ(captions, c.captions) << c.what;
    }
    EXPECT_TRUE(desktop.ran.empty());
}

TEST_F(UpdateTest, AnUnreachableServerGivesVersion0000) {
    TVersionUpdate update(ui, desktop, setting("127.0.0.1:9", ""));
    EXPECT_EQ(update.Installer->RemoteVersion(), "0000");
    EXPECT_EQ(update.CheckNewVersion(), "");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Feil");
    EXPECT_EQ(ui.messages[0].text,
              "Kunne ikke hente https://127.0.0.1:9/download/LagrullUpdate.ver: Couldn't connect "
              "to server");
}

TEST_F(UpdateTest, FirstStartUpdFileAndSwitches) {
    // A first start shows the dialog even without "Auto"; Avbryt still
    // writes the section, so the next start is quiet.
    {
        TVersionUpdate update(ui, desktop, setting("127.0.0.1:9", ""));
        FakeAutoUpdate window;
        window.ok = false;
        update.AutoCheck(window);
        EXPECT_EQ(window.shown, 1);
    }
    {
        TVersionUpdate update(ui, desktop, setting("127.0.0.1:9", ""));
        EXPECT_FALSE(update.ForsteGang);
        FakeAutoUpdate window;
        update.AutoCheck(window);
        EXPECT_EQ(window.shown, 0);
    }
    program.write("lagrul.upd", "OtherUpdate");
    EXPECT_EQ(TVersionUpdate(ui, desktop, setting("h", "")).RemotePath,
              "/download/OtherUpdate.exe");
    program.write("lagrul.upd", "");
    EXPECT_FALSE(TVersionUpdate(ui, desktop, setting("h", "")).KanOppdatere);
    fs::remove(program.path() / "lagrul.upd");
    TUpdateSetting off = setting("h", "");
    TOrvIni::writeValue(program.path() / "lagrul.ini", "Config", "PreventWebUpdate", "1");
    TVersionUpdate prevented(ui, desktop, off);
    EXPECT_FALSE(prevented.KanOppdatere);
    ui.messages.clear();
    FakeAutoUpdate window;
    prevented.AutoCheck(window);
    EXPECT_TRUE(ui.messages.empty());  // the automatic check stays silent
    prevented.ManualUpdate(window);
    EXPECT_EQ(ui.texts(), std::vector<std::string>{
                              "Kan ikke kjøre oppdatering over internett\rFunksjonaliteten er "
                              "deaktivert"});
    EXPECT_EQ(window.shown, 0);
    // A program installed by its package: the installer is the package.
    TUpdateSetting package = setting("h", "");
    package.programDirectory = program.str() + "/finnes-ikke/";
    TOrvIni::writeValue(program.path() / "lagrul.ini", "Config", "PreventWebUpdate", "0");
    TVersionUpdate installed(ui, desktop, package);
    EXPECT_EQ(installed.Kind, TUpdateKind::Package);
    EXPECT_EQ(installed.RemotePath, "/download/LagrullUpdate.deb");
}

TEST(SupportMailTest, TheAddressAndTheArchiveHoldWhatTheyShould) {
    TempDir data, temp, outside;
    data.write("lagrull.db", "register");
    data.write("lagrull.db-wal", "journal");
    data.write("notater.txt", "ikke med");
    outside.write("hemmelig.db", "utenfor");
    fs::create_symlink(outside.path() / "hemmelig.db", data.path() / "lenke.db");
    ScriptedUi ui;
    FakeDesktop desktop;

    TOrvSupportMail plain(ui, desktop, "support@brakvi.no", "Lagrull", "3.2.0.1", temp.str() + "/");
    plain.Send();
    EXPECT_EQ(desktop.opened, std::vector<std::string>{
                                  "mailto:support@brakvi.no?subject=Support%20Lagrull%203.2.0.1"});
    EXPECT_TRUE(desktop.clipboard.empty());

    TOrvSupportMail withLink(ui, desktop, "support@brakvi.no", "Lagrull", "3.2.0.1",
                             temp.str() + "/");
    withLink.AddDataFiles(data.str());
    EXPECT_THROW(withLink.Send(), Error);  // the link points out of the data directory
    fs::remove(data.path() / "lenke.db");

    TOrvSupportMail withData(ui, desktop, "support@brakvi.no", "Lagrull", "3.2.0.1",
                             temp.str() + "/");
    withData.AddDataFiles(data.str());
    withData.Body = "Hei på dere & takk";
    withData.Send();
    const std::string archive = temp.str() + "/Vedlegg.RenameToZip";
    EXPECT_EQ(desktop.clipboard, std::vector<std::string>{archive});
    EXPECT_EQ(ArchiveEntries(archive), (std::vector<std::string>{"lagrull.db", "lagrull.db-wal"}));
    EXPECT_EQ(desktop.opened.back(),
              "mailto:support@brakvi.no?subject=Support%20Lagrull%203.2.0.1&body=Hei%20p%C3%A5%"
              "20dere%20%26%20takk%0D%0A");
    EXPECT_EQ(ui.messages.back().caption, "Sende epost med vedlegg fra Brakvi-applikasjon");

    TOrvSupportMail climbing(ui, desktop, "support@brakvi.no", "Lagrull", "3.2.0.1",
                             temp.str() + "/");
    climbing.DataDirectory = data.str();
    climbing.Attachments = {data.str() + "/../*.db"};
    EXPECT_THROW(climbing.Send(), Error);

    desktop.openWorks = false;
    ui.messages.clear();
    plain.Send();
    EXPECT_EQ(ui.messages.at(0).caption, "Mailto shell error!");
    EXPECT_EQ(ui.messages.at(0).text, "Kunne ikke starte epost klient!");
}
