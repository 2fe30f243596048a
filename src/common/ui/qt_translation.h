#pragma once
// Qt's own texts in bokmål: the file, print and page-setup dialogs, the
// standard buttons and the edit fields' context menus. Debian ships Qt's
// translations for Nynorsk but not for bokmål; the program carries its own
// for what its dialogs show and lets Nynorsk answer the rest.
//
// Invariants: the bokmål translator is searched before the Nynorsk one; a
// text it does not know is left to the next translator, never blanked.

#include <QTranslator>

class QCoreApplication;

namespace lagrull {

class BokmalQtTranslator : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText,
                      const char* disambiguation = nullptr, int n = -1) const override;
    // The English texts it translates (tests look for them in the dialogs).
    static QStringList sourceTexts();
};

// Installs Qt's Nynorsk (when present) and then the bokmål translator on
// `app`; both live as long as the application. Qt's default locale becomes
// Norwegian bokmål (the C library's number format is left alone).
void installNorwegianQtTranslations(QCoreApplication& app);

}  // namespace lagrull
