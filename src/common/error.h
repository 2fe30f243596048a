#pragma once
// Failures of the register. Every exception carries a Norwegian message that
// the application's default handler shows in an error box ("Feil!"); the
// program then goes on. FatalError is the exception after which the program
// must stop (the handler shows it with its own caption and ends the run).

#include <stdexcept>
#include <string>

namespace lagrull {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// A file could not be read, created or written.
class FileError : public Error {
public:
    using Error::Error;
};

// Bad input from a file or from the user that the operation cannot use.
class FormatError : public Error {
public:
    using Error::Error;
};

// The program cannot go on: shown with `caption`, then the run ends.
class FatalError : public Error {
public:
    FatalError(std::string caption, const std::string& message)
        : Error(message), caption_(std::move(caption)) {}
    const std::string& caption() const { return caption_; }

private:
    std::string caption_;
};

class Ui;

// The application's default handler: shows the exception in flight (call it
// from a catch block) in an error box. Returns true when it was fatal and the
// program must end.
bool showException(Ui& ui, std::exception_ptr error);

}  // namespace lagrull
