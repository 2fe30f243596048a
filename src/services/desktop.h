#pragma once
// TDesktop: what the update and the support mail ask of the user's desktop:
// open an address or a file with its default handler, place files on the
// clipboard, run a program and wait for it, end the program. The GUI
// program gives a Qt one, lagrul-cli one that prints, tests a fake.

#include <string>
#include <vector>

namespace lagrull {

class TDesktop {
public:
    virtual ~TDesktop() = default;
    // A "mailto:" address or a file, with the desktop's default handler;
    // false when nothing could be started.
    virtual bool OpenUrl(const std::string& url) = 0;
    // The files as a list another program can paste (text/uri-list).
    virtual bool PutFilesOnClipboard(const std::vector<std::string>& files) = 0;
    // Runs a program in a normal window and waits until it ends; false when
    // it could not be started.
    virtual bool RunAndWait(const std::string& program) = 0;
    // Ends the program once the current event is done.
    virtual void Quit() = 0;
};

}  // namespace lagrull
