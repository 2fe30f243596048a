#pragma once
// The one way logic talks to the user. Rules, passes and file formats never
// touch a window: they call a Ui. The GUI program gives them a Qt one, the
// command-line tool a console one, and the tests a scripted one that replays
// answers and records every caption and text shown.
//
// The public calls apply the shared text rules (see prepareMessageText) and
// the defaults, then hand over to the protected do* operations that an
// implementation provides.

#include <chrono>
#include <optional>
#include <string>

namespace lagrull {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Icon { None, Information, Warning, Error, Question };
enum class Answer { Ok, Cancel, Yes, No };

// A file dialog's request. The filter uses the "Text|*.ext|Text2|*.e2" form.
struct FileRequest {
    std::string caption;
    std::string filter;
    std::string directory;  // initial directory, may be empty
    std::string fileName;   // initial file name, may be empty
};

class Ui {
public:
    virtual ~Ui() = default;

    // Message box: the text rules are applied to caption and text; an error
    // box without a caption gets "Feil!".
    Answer message(const std::string& caption, const std::string& text,
                   Buttons buttons = Buttons::Ok, Icon icon = Icon::None);
    void error(const std::string& text, const std::string& caption = {});
    void information(const std::string& caption, const std::string& text);
    void warning(const std::string& caption, const std::string& text);
    bool confirm(const std::string& caption, const std::string& text);  // Yes/No

    // Input box: nullopt when the user cancelled, else the (maybe empty) answer.
    virtual std::optional<std::string> inputBox(const std::string& caption,
                                                const std::string& prompt,
                                                const std::string& value) = 0;

    // Wait window: showing a new one closes the previous one.
    void showWait(const std::string& caption, const std::string& text);
    virtual void closeWait() = 0;

    // Progress window "Prosesserer....." with a gauge 0..100.
    virtual void progressBegin() = 0;
    virtual void progressSet(int percent) = 0;
    // Shows 100 for a moment, then closes.
    virtual void progressEnd() = 0;

    virtual std::optional<std::string> openFileName(const FileRequest& request) = 0;
    virtual std::optional<std::string> saveFileName(const FileRequest& request) = 0;
    virtual std::optional<std::string> directoryName(const FileRequest& request,
                                                     bool mayCreate) = 0;

    virtual void setBusy(bool busy) = 0;  // hourglass cursor
    virtual void processEvents() = 0;     // let pending window messages run

protected:
    virtual Answer doMessage(const std::string& caption, const std::string& text, Buttons buttons,
                             Icon icon) = 0;
    virtual void doShowWait(const std::string& caption, const std::string& text) = 0;
};

// The shared text rules of message boxes and wait windows: "~" is a line
// break, and so is "\" unless the text contains ":\" or begins with "\"
// (so paths stay whole); the DOS Nordic codes 134, 145, 146 and 155 become
// "å", "æ", "Æ" and "ø". Line breaks come out as "\n".
std::string prepareMessageText(const std::string& text);

// RAII helpers. Each one restores the window state on every path.
class WaitWindow {
public:
    WaitWindow(Ui& ui, const std::string& caption, const std::string& text) : ui_(ui) {
        ui_.showWait(caption, text);
    }
    ~WaitWindow() { ui_.closeWait(); }
    WaitWindow(const WaitWindow&) = delete;
    WaitWindow& operator=(const WaitWindow&) = delete;

private:
    Ui& ui_;
};

class BusyCursor {
public:
    explicit BusyCursor(Ui& ui) : ui_(ui) { ui_.setBusy(true); }
    ~BusyCursor() { ui_.setBusy(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    Ui& ui_;
};

// Lets pending window messages run during a long pass, but at most once per
// interval, so that a pass over 100,000 rows is not slowed by the GUI.
class EventPump {
public:
    explicit EventPump(Ui& ui, std::chrono::milliseconds interval = std::chrono::milliseconds(15))
        : ui_(ui), interval_(interval), last_(std::chrono::steady_clock::now()) {}
    void tick();

private:
    Ui& ui_;
    std::chrono::milliseconds interval_;
    std::chrono::steady_clock::time_point last_;
};

// Progress window over a pass of `total` records: step() after each record
// moves the gauge (only when the percentage changes) and pumps events. The
// destructor closes the window; finish() shows the full gauge first.
class ProgressWindow {
public:
    ProgressWindow(Ui& ui, long long total);
    ~ProgressWindow();
    void step(long long done = -1);  // -1: one more record
    long long done() const { return done_; }
    void finish();
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

private:
    Ui& ui_;
    EventPump pump_;
    long long total_;
    long long done_ = 0;
    int percent_ = -1;
    bool open_ = true;
};

}  // namespace lagrull
