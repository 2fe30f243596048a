#include "template/pdf/cups_printer_system.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <random>

#include "common/error.h"
#include "template/layout/print_options.h"
#include "template/pdf/qt_gui_application.h"
#include "template/pdf/qt_paint_device.h"

extern char** environ;

namespace lagrull {

namespace fs = std::filesystem;

namespace {

struct ProgramResult {
    int exitCode = -1;   // -1: the program could not be started
    std::string output;  // standard output and standard error together
};

// The environment of the CUPS tools: ours, with their texts in English so
// that the answers can be read.
std::vector<std::string> cEnvironment() {
    std::vector<std::string> env;
    for (char** e = environ; e && *e; ++e)
        if (std::strncmp(*e, "LC_", 3) != 0 && std::strncmp(*e, "LANG", 4) != 0)
            env.emplace_back(*e);
    env.emplace_back("LC_ALL=C");
    return env;
}

// Runs a program with its arguments as given (no shell between, so names
// from a document or the command line are never interpreted).
ProgramResult runProgram(const std::vector<std::string>& arguments) {
    ProgramResult result;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> env = cEnvironment();
    std::vector<char*> envp;
    envp.reserve(env.size() + 1);
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned == 0) {
        std::array<char, 4096> buffer;
        for (ssize_t n; (n = read(pipeEnds[0], buffer.data(), buffer.size())) != 0;) {
            if (n < 0) {
                if (errno == EINTR) continue;
                break;
            }
            result.output.append(buffer.data(), static_cast<std::size_t>(n));
        }
    }
    close(pipeEnds[0]);
    if (spawned != 0) return result;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

// The paper of a printer's "media" option, as the paper kinds of a device
// mode; A4 when CUPS names none we know.
int paperKindOf(const std::string& printer) {
    const ProgramResult r = runProgram({"lpoptions", "-p", printer});
    if (r.exitCode != 0) return TDeviceMode::kPaperA4;
    const auto at = r.output.find("media=");
    if (at == std::string::npos) return TDeviceMode::kPaperA4;
    const std::string media = r.output.substr(at + 6, r.output.find(' ', at) - at - 6);
    const auto has = [&media](const char* name) { return media.find(name) != std::string::npos; };
    if (has("letter") || has("Letter")) return 1;
    if (has("legal") || has("Legal")) return 5;
    if (has("a3") || has("A3")) return 8;
    if (has("a5") || has("A5")) return 11;
    return TDeviceMode::kPaperA4;
}

std::string trimmedOutput(const std::string& text) {
    std::string t = text;
    while (!t.empty() && (t.back() == '\n' || t.back() == '\r' || t.back() == ' ')) t.pop_back();
    return t;
}

}  // namespace

TCupsPrinterSystem::TCupsPrinterSystem() {
    std::random_device random;
    directory_ = fs::temp_directory_path() /
                 ("lagrull-utskrift-" + std::to_string(getpid()) + "-" + std::to_string(random()));
}

TCupsPrinterSystem::~TCupsPrinterSystem() {
    std::error_code ec;
    fs::remove_all(directory_, ec);
}

TDeviceMode TCupsPrinterSystem::currentPrinter() {
    // "system default destination: NAME", or "no system default destination"
    const ProgramResult r = runProgram({"lpstat", "-d"});
    const std::string marker = "destination: ";
    const auto at = r.output.find(marker);
    if (r.exitCode != 0 || at == std::string::npos)
        throw Error("Det er ingen skriver å skrive ut på.");
    return driverDefaults(trimmedOutput(r.output.substr(at + marker.size())));
}

TDeviceMode TCupsPrinterSystem::driverDefaults(const std::string& deviceName) {
    TDeviceMode m = a4DeviceMode(deviceName);
    m.paperSize = paperKindOf(deviceName);
    return m;
}

std::unique_ptr<TPrintDevice> TCupsPrinterSystem::createDC(const TDeviceMode& mode) {
    std::error_code ec;
    fs::create_directories(directory_, ec);
    if (ec) return nullptr;
    Job job{directory_ / ("jobb" + std::to_string(jobs_.size() + 1) + ".pdf"), mode.deviceName};
    ensureGuiApplication();
    auto device = std::make_unique<TQtPdfDevice>(QString::fromStdString(job.pdf.string()), mode);
    device->countSheetsInto(&sheets_);
    jobs_.push_back(std::move(job));
    return device;
}

void TCupsPrinterSystem::submit(const std::string& title) {
    std::vector<Job> jobs = std::move(jobs_);
    jobs_.clear();
    for (const Job& job : jobs) {
        std::error_code ec;
        if (!fs::is_regular_file(job.pdf, ec))
            throw Error("Utskriften til " + job.printer + " ble ikke laget.");
        const ProgramResult r =
            runProgram({"lp", "-d", job.printer, "-t", title, "--", job.pdf.string()});
        fs::remove(job.pdf, ec);
        if (r.exitCode == -1)
            throw Error("Utskriftssystemet (CUPS, programmet lp) er ikke installert.");
        if (r.exitCode != 0)
            throw Error("Skriveren " + job.printer +
                        " tok ikke imot utskriften: " + trimmedOutput(r.output));
    }
}

void useCupsPrinterList() {
    TInstalledPrinters::setSource([] {
        const ProgramResult r = runProgram({"lpstat", "-e"});
        return r.exitCode == 0 ? lines(r.output) : std::vector<std::string>{};
    });
}

}  // namespace lagrull
