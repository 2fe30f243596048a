// Qt's own dialogs in bokmål: the file dialog, the printer set-up and its
// properties, the page set-up, the standard buttons and the context menu
// of an edit field show no English.
#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "common/ui/printers.h"
#include "common/ui/qt_translation.h"
#include "screenshot.h"

using namespace lagrull;

namespace {

QString plain(QString text) { return text.remove('&'); }

// The texts a user reads in `w`: buttons, labels, group titles, tabs and
// the entries of drop-downs.
QStringList shownTexts(const QWidget* w) {
    QStringList texts;
    for (auto* b : w->findChildren<QAbstractButton*>())
        if (b->isVisible()) texts << b->text();
    for (auto* l : w->findChildren<QLabel*>())
        if (l->isVisible()) texts << l->text();
    for (auto* g : w->findChildren<QGroupBox*>())
        if (g->isVisible()) texts << g->title();
    for (auto* t : w->findChildren<QTabWidget*>())
        for (int i = 0; i < t->count(); ++i) texts << t->tabText(i);
    for (auto* c : w->findChildren<QComboBox*>())
        if (c->isVisible())
            for (int i = 0; i < c->count(); ++i) texts << c->itemText(i);
    return texts;
}

// The texts of `w` that are still Qt's English.
QStringList english(const QStringList& texts) {
    QSet<QString> sources;
    for (const QString& s : BokmalQtTranslator::sourceTexts()) sources << plain(s);
    QStringList found;
    for (const QString& t : texts)
        if (sources.contains(plain(t))) found << t;
    return found;
}

}  // namespace

class QtTranslationTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installNorwegianQtTranslations(*QCoreApplication::instance()); }

    void fileDialogsSpeakBokmal() {
        QTemporaryDir dir;
        QFile(dir.filePath("lagrul.db")).open(QIODevice::WriteOnly);
        QDir(dir.path()).mkdir("Sikkerhetskopi");
        for (auto mode : {QFileDialog::ExistingFile, QFileDialog::Directory}) {
            QFileDialog dialog(nullptr, "Velg fil", dir.path(), "Register (*.db)");
            dialog.setOption(QFileDialog::DontUseNativeDialog);
            dialog.setFileMode(mode);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            const QStringList texts = shownTexts(&dialog);
            QVERIFY2(english(texts).isEmpty(), qPrintable(english(texts).join(" | ")));
            QVERIFY(texts.contains("Avbryt"));
            QCOMPARE(QLocale().language(), QLocale::NorwegianBokmal);
            QVERIFY(texts.contains(mode == QFileDialog::Directory ? "Mappe:" : "Filtype:"));
            if (mode == QFileDialog::ExistingFile) test::saveScreenshot(&dialog, "file_dialog");
        }
    }

    void printerSetupSaysWhatItDoes() {
        auto dialog = printerSetupDialog(nullptr);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        const QStringList texts = shownTexts(dialog.get());
        QVERIFY2(english(texts).isEmpty(), qPrintable(english(texts).join(" | ")));
        QVERIFY(texts.contains("&Bruk oppsettet"));
        QVERIFY(texts.contains("Skriver"));
        QVERIFY(!texts.contains("&Skriv ut"));
        QCOMPARE(dialog->windowTitle(), QString("Skriveroppsett"));
        test::saveScreenshot(dialog.get(), "printer_setup");

        // "Egenskaper": paper and orientation.
        QPushButton* properties = nullptr;
        for (auto* b : dialog->findChildren<QPushButton*>())
            if (b->text() == "&Egenskaper") properties = b;
        QVERIFY(properties);
        QStringList propertyTexts;
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                propertyTexts = shownTexts(box);
                test::saveScreenshot(box, "printer_properties");
                box->reject();
            }
        });
        properties->click();
        QVERIFY(propertyTexts.contains("Stående"));
        QVERIFY2(english(propertyTexts).isEmpty(), qPrintable(english(propertyTexts).join(" | ")));
    }

    void pageSetupButtonsAndContextMenus() {
        QPrinter printer;
        QPageSetupDialog pages(&printer);
        pages.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pages));
        QVERIFY2(english(shownTexts(&pages)).isEmpty(),
                 qPrintable(english(shownTexts(&pages)).join(" | ")));

        QMessageBox box;
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes |
                               QMessageBox::No | QMessageBox::Close | QMessageBox::Save);
        QStringList buttons;
        for (auto* b : box.buttons()) buttons << b->text();
        QVERIFY2(english(buttons).isEmpty(), qPrintable(english(buttons).join(" | ")));
        QVERIFY(buttons.contains("Avbryt"));

        QLineEdit edit("Nordby");
        std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QStringList entries;
        for (QAction* a : menu->actions())
            if (!a->isSeparator()) entries << a->text().section('\t', 0, 0);
        QVERIFY2(english(entries).isEmpty(), qPrintable(english(entries).join(" | ")));
        QVERIFY(entries.contains("&Kopier"));
    }

    void nynorskAnswersWhatBokmalLeavesOut() {
        QTranslator nynorsk;
        if (!nynorsk.load("qtbase_nn", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QSKIP("Qt's Nynorsk translation is not installed");
        // A text of Qt's that the bokmål table leaves out.
        const char* context = "QColorDialog";
        const char* source = "&Red:";
        QVERIFY(BokmalQtTranslator().translate(context, source).isEmpty());
        const QString expected = nynorsk.translate(context, source);
        QVERIFY(!expected.isEmpty());
        QCOMPARE(QCoreApplication::translate(context, source), expected);
    }
};

QTEST_MAIN(QtTranslationTest)
#include "qt_translation_test.moc"
