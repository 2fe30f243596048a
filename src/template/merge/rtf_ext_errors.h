#pragma once
// The template engine's failures. EExtRtfException is the base of every
// command and field failure; ERtfLevel (unbalanced levels of an included
// document) stands apart so the include can rewrite it with the file name.

#include "common/error.h"

namespace lagrull {

class EExtRtfException : public Error {
public:
    using Error::Error;
};

// A class name cannot stand in parentheses.
// NOLINTBEGIN(bugprone-macro-parentheses)
#define LAGRULL_EXT_RTF_ERROR(name)               \
    class name : public EExtRtfException {        \
    public:                                       \
        using EExtRtfException::EExtRtfException; \
    }
// NOLINTEND(bugprone-macro-parentheses)

LAGRULL_EXT_RTF_ERROR(ERtfField);
LAGRULL_EXT_RTF_ERROR(ERtfLink);
LAGRULL_EXT_RTF_ERROR(ERtfForCmd);
LAGRULL_EXT_RTF_ERROR(ERtfIfCmd);
LAGRULL_EXT_RTF_ERROR(ERtfExtendedCmd);
LAGRULL_EXT_RTF_ERROR(ERtfCmdParam);
LAGRULL_EXT_RTF_ERROR(ERtfAbort);
LAGRULL_EXT_RTF_ERROR(ERtfZipFile);

#undef LAGRULL_EXT_RTF_ERROR

class ERtfLevel : public Error {
public:
    using Error::Error;
};

}  // namespace lagrull
