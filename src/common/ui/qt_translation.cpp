#include "common/ui/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <cstring>
#include <string>
#include <unordered_map>

namespace lagrull {

namespace {

struct Entry {
    const char* context;
    const char* source;
    const char* bokmal;
};

// Qt's texts as its dialogs ask for them (context, English), in bokmål.
const Entry kEntries[] = {
    {"QPlatformTheme", "OK", "OK"},
    {"QPlatformTheme", "Cancel", "Avbryt"},
    {"QPlatformTheme", "Open", "Åpne"},
    {"QPlatformTheme", "Save", "Lagre"},
    {"QPlatformTheme", "Save All", "Lagre alle"},
    {"QPlatformTheme", "&Yes", "&Ja"},
    {"QPlatformTheme", "Yes to &All", "Ja til &alle"},
    {"QPlatformTheme", "&No", "&Nei"},
    {"QPlatformTheme", "N&o to All", "N&ei til alle"},
    {"QPlatformTheme", "Abort", "Avbryt"},
    {"QPlatformTheme", "Retry", "Prøv igjen"},
    {"QPlatformTheme", "Ignore", "Ignorer"},
    {"QPlatformTheme", "Close", "Lukk"},
    {"QPlatformTheme", "Close without Saving", "Lukk uten å lagre"},
    {"QPlatformTheme", "Don't Save", "Ikke lagre"},
    {"QPlatformTheme", "Discard", "Forkast"},
    {"QPlatformTheme", "Help", "Hjelp"},
    {"QPlatformTheme", "Apply", "Bruk"},
    {"QPlatformTheme", "Reset", "Tilbakestill"},
    {"QPlatformTheme", "Restore Defaults", "Gjenopprett standardverdier"},
    {"QFileDialog", "Look in:", "Se i:"},
    {"QFileDialog", "Back", "Tilbake"},
    {"QFileDialog", "Go back", "Gå tilbake"},
    {"QFileDialog", "Forward", "Fremover"},
    {"QFileDialog", "Go forward", "Gå fremover"},
    {"QFileDialog", "Parent Directory", "Overordnet mappe"},
    {"QFileDialog", "Go to the parent directory", "Gå til overordnet mappe"},
    {"QFileDialog", "Create New Folder", "Lag ny mappe"},
    {"QFileDialog", "Create a New Folder", "Lag en ny mappe"},
    {"QFileDialog", "List View", "Listevisning"},
    {"QFileDialog", "Change to list view mode", "Bytt til listevisning"},
    {"QFileDialog", "Detail View", "Detaljvisning"},
    {"QFileDialog", "Change to detail view mode", "Bytt til detaljvisning"},
    {"QFileDialog", "Sidebar", "Sidepanel"},
    {"QFileDialog", "List of places and bookmarks", "Liste over steder og bokmerker"},
    {"QFileDialog", "Files", "Filer"},
    {"QFileDialog", "Files of type:", "Filtype:"},
    {"QFileDialog", "File &name:", "Fil&navn:"},
    {"QFileDialog", "&Open", "&Åpne"},
    {"QFileDialog", "Open", "Åpne"},
    {"QFileDialog", "&Save", "&Lagre"},
    {"QFileDialog", "Save As", "Lagre som"},
    {"QFileDialog", "All Files (*)", "Alle filer (*)"},
    {"QFileDialog", "All Files (*.*)", "Alle filer (*.*)"},
    {"QFileDialog", "Show ", "Vis "},
    {"QFileDialog", "&Rename", "&Gi nytt navn"},
    {"QFileDialog", "&Delete", "&Slett"},
    {"QFileDialog", "Show &hidden files", "Vis &skjulte filer"},
    {"QFileDialog", "&New Folder", "&Ny mappe"},
    {"QFileDialog", "New Folder", "Ny mappe"},
    {"QFileDialog", "Directories", "Mapper"},
    {"QFileDialog", "Directory:", "Mappe:"},
    {"QFileDialog", "&Choose", "&Velg"},
    {"QFileDialog", "Find Directory", "Finn mappe"},
    {"QFileDialog", "Recent Places", "Nylig brukte steder"},
    {"QFileDialog", "My Computer", "Min datamaskin"},
    {"QFileDialog", "Delete", "Slett"},
    {"QFileDialog", "Are you sure you want to delete '%1'?",
     "Er du sikker på at du vil slette «%1»?"},
    {"QFileDialog", "'%1' is write protected.\nDo you want to delete it anyway?",
     "«%1» er skrivebeskyttet.\nVil du slette den likevel?"},
    {"QFileDialog", "Could not delete directory.", "Kunne ikke slette mappen."},
    {"QFileDialog", "%1 already exists.\nDo you want to replace it?",
     "%1 finnes allerede.\nVil du erstatte den?"},
    {"QFileDialog", "%1\nFile not found.\nPlease verify the correct file name was given.",
     "%1\nFilen finnes ikke.\nKontroller at filnavnet er riktig."},
    {"QFileDialog", "%1\nDirectory not found.\nPlease verify the correct directory name was given.",
     "%1\nMappen finnes ikke.\nKontroller at mappenavnet er riktig."},
    {"QFileDialog", "Invalid file name", "Ugyldig filnavn"},
    {"QFileDialog",
     "<b>The name \"%1\" cannot be used.</b><p>Try using another name, with fewer characters or no "
     "punctuation marks.",
     "<b>Navnet «%1» kan ikke brukes.</b><p>Prøv et annet navn, med færre tegn eller uten "
     "skilletegn."},
    {"QFileDialog", "Unknown", "Ukjent"},
    {"QFileDialog", "Alt+Left", "Alt+Left"},
    {"QFileDialog", "Alt+Right", "Alt+Right"},
    {"QFileDialog", "Alt+Up", "Alt+Up"},
    {"QFileSystemModel", "Computer", "Datamaskin"},
    {"QFileSystemModel", "My Computer", "Min datamaskin"},
    {"QFileSystemModel", "Name", "Navn"},
    {"QFileSystemModel", "Size", "Størrelse"},
    {"QFileSystemModel", "Type", "Type"},
    {"QFileSystemModel", "Kind", "Type"},
    {"QFileSystemModel", "Date Modified", "Endret"},
    {"QFileSystemModel", "Invalid filename", "Ugyldig filnavn"},
    {"QAbstractFileIconProvider", "Drive", "Stasjon"},
    {"QAbstractFileIconProvider", "Folder", "Mappe"},
    {"QAbstractFileIconProvider", "File", "Fil"},
    {"QAbstractFileIconProvider", "%1 File", "%1-fil"},
    {"QPrintDialog", "Print", "Skriv ut"},
    {"QPrintDialog", "&Print", "&Skriv ut"},
    {"QPrintDialog", "&Options >>", "&Valg >>"},
    {"QPrintDialog", "&Options <<", "&Valg <<"},
    {"QPrintDialog", "All Pages", "Alle sider"},
    {"QPrintDialog", "Odd Pages", "Oddetallssider"},
    {"QPrintDialog", "Even Pages", "Partallssider"},
    {"QPrintDialog", "Print to File (PDF)", "Skriv til fil (PDF)"},
    {"QPrintDialog", "Print To File ...", "Skriv til fil ..."},
    {"QPrintDialog", "Local file", "Lokal fil"},
    {"QPrintDialog", "Write PDF file", "Skriv PDF-fil"},
    {"QPrintDialog", "Print all", "Skriv ut alt"},
    {"QPrintDialog", "Print selection", "Skriv ut utvalget"},
    {"QPrintDialog", "Print range", "Utskriftsområde"},
    {"QPrintDialog", "Print current page", "Skriv ut gjeldende side"},
    {"QPrintDialog", "Invalid Pages Definition", "Ugyldig sideangivelse"},
    {"QPrintDialog", "%1 does not match the expected pattern", "%1 har ikke forventet form"},
    {"QPrintDialog", "The 'From' value cannot be greater than the 'To' value.",
     "Fra-verdien kan ikke være større enn til-verdien."},
    {"QPrintDialog", "%1 is a directory.\nPlease choose a different file name.",
     "%1 er en mappe.\nVelg et annet filnavn."},
    {"QPrintDialog", "File %1 is not writable.\nPlease choose a different file name.",
     "Filen %1 kan ikke skrives.\nVelg et annet filnavn."},
    {"QPrintDialog", "%1 already exists.\nDo you want to overwrite it?",
     "%1 finnes allerede.\nVil du overskrive den?"},
    {"QPrintDialog",
     "Options 'Pages Per Sheet' and 'Page Set' cannot be used together.\nPlease turn one of those "
     "options off.",
     "Valgene «Sider per ark» og «Sidesett» kan ikke brukes sammen.\nSlå av ett av dem."},
    {"QPrintDialog", "Left to Right, Top to Bottom", "Venstre til høyre, topp til bunn"},
    {"QPrintDialog", "Left to Right, Bottom to Top", "Venstre til høyre, bunn til topp"},
    {"QPrintDialog", "Right to Left, Bottom to Top", "Høyre til venstre, bunn til topp"},
    {"QPrintDialog", "Right to Left, Top to Bottom", "Høyre til venstre, topp til bunn"},
    {"QPrintDialog", "Bottom to Top, Left to Right", "Bunn til topp, venstre til høyre"},
    {"QPrintDialog", "Bottom to Top, Right to Left", "Bunn til topp, høyre til venstre"},
    {"QPrintDialog", "Top to Bottom, Left to Right", "Topp til bunn, venstre til høyre"},
    {"QPrintDialog", "Top to Bottom, Right to Left", "Topp til bunn, høyre til venstre"},
    {"QPrintWidget", "Printer", "Skriver"},
    {"QPrintWidget", "&Name:", "&Navn:"},
    {"QPrintWidget", "P&roperties", "&Egenskaper"},
    {"QPrintWidget", "Location:", "Plassering:"},
    {"QPrintWidget", "Preview", "Forhåndsvisning"},
    {"QPrintWidget", "Type:", "Type:"},
    {"QPrintWidget", "Output &file:", "Utdata&fil:"},
    {"QPrintSettingsOutput", "Print range", "Utskriftsområde"},
    {"QPrintSettingsOutput", "Print all", "Skriv ut alt"},
    {"QPrintSettingsOutput", "Pages from", "Sider fra"},
    {"QPrintSettingsOutput", "to", "til"},
    {"QPrintSettingsOutput", "Pages", "Sider"},
    {"QPrintSettingsOutput",
     "Specify pages or ranges separated by commas. Ranges are specified by two numbers separated "
     "by a hyphen. E.g: 3,5-7,9 prints pages 3, 5, 6, 7 and 9.",
     "Skriv sider eller områder skilt med komma. Et område er to tall med bindestrek mellom. "
     "Eksempel: 3,5-7,9 skriver ut sidene 3, 5, 6, 7 og 9."},
    {"QPrintSettingsOutput", "Current Page", "Gjeldende side"},
    {"QPrintSettingsOutput", "Selection", "Utvalg"},
    {"QPrintSettingsOutput", "Page Set:", "Sidesett:"},
    {"QPrintSettingsOutput", "Output Settings", "Utskriftsinnstillinger"},
    {"QPrintSettingsOutput", "Copies:", "Kopier:"},
    {"QPrintSettingsOutput", "Collate", "Sorter"},
    {"QPrintSettingsOutput", "Reverse", "Omvendt"},
    {"QPrintSettingsOutput", "Copies", "Kopier"},
    {"QPrintSettingsOutput", "Color Mode", "Fargemodus"},
    {"QPrintSettingsOutput", "Color", "Farge"},
    {"QPrintSettingsOutput", "Grayscale", "Gråtoner"},
    {"QPrintSettingsOutput", "Double Sided Printing", "Tosidig utskrift"},
    {"QPrintSettingsOutput", "Off", "Av"},
    {"QPrintSettingsOutput", "Long side binding", "Innbinding langs langsiden"},
    {"QPrintSettingsOutput", "Short side binding", "Innbinding langs kortsiden"},
    {"QPrintSettingsOutput", "Options", "Valg"},
    {"QPrintPropertiesDialog", "Printer Properties", "Skriveregenskaper"},
    {"QPrintPropertiesDialog", "Job Options", "Jobbvalg"},
    {"QPrintPropertiesWidget", "Page", "Side"},
    {"QPrintPropertiesWidget", "Advanced", "Avansert"},
    {"QPrintPropertiesWidget", "There are conflicts in some options. Please fix them.",
     "Noen av valgene er i konflikt med hverandre. Rett dem."},
    {"QPageSetupWidget", "Paper", "Papir"},
    {"QPageSetupWidget", "Page size:", "Papirstørrelse:"},
    {"QPageSetupWidget", "Width:", "Bredde:"},
    {"QPageSetupWidget", "Height:", "Høyde:"},
    {"QPageSetupWidget", "Paper source:", "Papirkilde:"},
    {"QPageSetupWidget", "Orientation", "Retning"},
    {"QPageSetupWidget", "Portrait", "Stående"},
    {"QPageSetupWidget", "Landscape", "Liggende"},
    {"QPageSetupWidget", "Reverse landscape", "Omvendt liggende"},
    {"QPageSetupWidget", "Reverse portrait", "Omvendt stående"},
    {"QPageSetupWidget", "Margins", "Marger"},
    {"QPageSetupWidget", "top margin", "toppmarg"},
    {"QPageSetupWidget", "left margin", "venstremarg"},
    {"QPageSetupWidget", "right margin", "høyremarg"},
    {"QPageSetupWidget", "bottom margin", "bunnmarg"},
    {"QPageSetupWidget", "Page Layout", "Sideoppsett"},
    {"QPageSetupWidget", "Page order:", "Siderekkefølge:"},
    {"QPageSetupWidget", "Pages per sheet:", "Sider per ark:"},
    {"QPageSetupWidget", "Millimeters (mm)", "Millimeter (mm)"},
    {"QPageSetupWidget", "Inches (in)", "Tommer (in)"},
    {"QPageSetupWidget", "Points (pt)", "Punkter (pt)"},
    {"QPageSetupWidget", "Custom", "Egendefinert"},
    {"QPageSetupWidget", "mm", "mm"},
    {"QPageSetupDialog", "Page Setup", "Sideoppsett"},
    {"QPrintPreviewDialog", "Page Setup", "Sideoppsett"},
    {"QCupsJobWidget", "Job", "Jobb"},
    {"QCupsJobWidget", "Job Control", "Jobbstyring"},
    {"QCupsJobWidget", "Scheduled printing:", "Planlagt utskrift:"},
    {"QCupsJobWidget", "Billing information:", "Faktureringsinformasjon:"},
    {"QCupsJobWidget", "Job priority:", "Jobbprioritet:"},
    {"QCupsJobWidget", "Banner Pages", "Bannersider"},
    {"QCupsJobWidget", "End:", "Slutt:"},
    {"QCupsJobWidget", "Start:", "Start:"},
    {"QCupsJobWidget", "Print Immediately", "Skriv ut straks"},
    {"QCupsJobWidget", "Hold Indefinitely", "Hold tilbake"},
    {"QCupsJobWidget", "Day (06:00 to 17:59)", "Dag (06:00 til 17:59)"},
    {"QCupsJobWidget", "Night (18:00 to 05:59)", "Natt (18:00 til 05:59)"},
    {"QCupsJobWidget", "Second Shift (16:00 to 23:59)", "Andre skift (16:00 til 23:59)"},
    {"QCupsJobWidget", "Third Shift (00:00 to 07:59)", "Tredje skift (00:00 til 07:59)"},
    {"QCupsJobWidget", "Weekend (Saturday to Sunday)", "Helg (lørdag til søndag)"},
    {"QCupsJobWidget", "Specific Time", "Bestemt tidspunkt"},
    {"QCupsJobWidget", "None", "Ingen"},
    {"QCupsJobWidget", "Standard", "Standard"},
    {"QCupsJobWidget", "Unclassified", "Ugradert"},
    {"QCupsJobWidget", "Confidential", "Konfidensielt"},
    {"QCupsJobWidget", "Classified", "Gradert"},
    {"QCupsJobWidget", "Secret", "Hemmelig"},
    {"QCupsJobWidget", "Top Secret", "Strengt hemmelig"},
    {"QInputDialog", "Enter a value:", "Skriv en verdi:"},
    {"QMessageBox", "Show Details...", "Vis detaljer..."},
    {"QMessageBox", "Hide Details...", "Skjul detaljer..."},
    {"QLineEdit", "&Undo", "&Angre"},
    {"QLineEdit", "&Redo", "&Gjør om"},
    {"QLineEdit", "Cu&t", "Klipp &ut"},
    {"QLineEdit", "&Copy", "&Kopier"},
    {"QLineEdit", "&Paste", "&Lim inn"},
    {"QLineEdit", "Delete", "Slett"},
    {"QLineEdit", "Select All", "Merk alt"},
    {"QWidgetTextControl", "&Undo", "&Angre"},
    {"QWidgetTextControl", "&Redo", "&Gjør om"},
    {"QWidgetTextControl", "Cu&t", "Klipp &ut"},
    {"QWidgetTextControl", "&Copy", "&Kopier"},
    {"QWidgetTextControl", "Copy &Link Location", "Kopier &lenkeadresse"},
    {"QWidgetTextControl", "&Paste", "&Lim inn"},
    {"QWidgetTextControl", "Delete", "Slett"},
    {"QWidgetTextControl", "Select All", "Merk alt"},
    {"QTabBar", "Scroll Left", "Rull til venstre"},
    {"QTabBar", "Scroll Right", "Rull til høyre"},
};

// Looked up by context and English text; "\x1f" cannot occur in either.
const std::unordered_map<std::string, const char*>& table() {
    static const auto map = [] {
        std::unordered_map<std::string, const char*> m;
        for (const Entry& e : kEntries)
            m.emplace(std::string(e.context) + '\x1f' + e.source, e.bokmal);
        return m;
    }();
    return map;
}

}  // namespace

QString BokmalQtTranslator::translate(const char* context, const char* sourceText, const char*,
                                      int) const {
    if (!context || !sourceText) return {};
    const auto it = table().find(std::string(context) + '\x1f' + sourceText);
    return it == table().end() ? QString() : QString::fromUtf8(it->second);
}

QStringList BokmalQtTranslator::sourceTexts() {
    QStringList texts;
    for (const Entry& e : kEntries)
        if (std::strcmp(e.source, e.bokmal) != 0) texts << QString::fromUtf8(e.source);
    return texts;
}

void installNorwegianQtTranslations(QCoreApplication& app) {
    // Sizes and dates in Qt's dialogs ("0 byte", "9. des.") read as Norwegian.
    QLocale::setDefault(QLocale(QLocale::NorwegianBokmal, QLocale::Norway));
    // Qt asks the translator installed last first: Nynorsk goes in first.
    auto* nynorsk = new QTranslator(&app);  // owned by the application
    if (nynorsk->load("qtbase_nn", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(nynorsk);
    else
        delete nynorsk;
    QCoreApplication::installTranslator(new BokmalQtTranslator(&app));
}

}  // namespace lagrull
