// lagrul-cli tabell-rtf: a list from a CSV file written as the RTF table the
// grid printing makes of it, for checking the table's words.
#include <fstream>
#include <ostream>
#include <sstream>

#include "cli/command.h"
#include "common/error.h"
#include "common/file_names.h"
#include "template/grid/grid_report.h"

namespace lagrull::cli {

namespace {

// Rows of a CSV text with ";" between fields; a field in double quotes may
// hold ";", line breaks and doubled quotes.
std::vector<std::vector<std::string>> readCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows(1);
    std::string field;
    bool quoted = false, any = false;
    auto endField = [&] {
        rows.back().push_back(std::move(field));
        field.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        any = true;
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ';') {
            endField();
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            endField();
            rows.emplace_back();
            any = false;
        } else {
            field += c;
        }
    }
    if (quoted) throw Error("CSV-fila slutter inne i et felt i anførselstegn.");
    if (any) endField();
    if (rows.back().empty()) rows.pop_back();
    return rows;
}

std::vector<int> numberList(const std::string& option, const std::string& text) {
    std::vector<int> out;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, ',');) {
        try {
            std::size_t used = 0;
            out.push_back(std::stoi(part, &used));
            if (used != part.size() || out.back() < 0) throw std::invalid_argument(part);
        } catch (const std::exception&) {
            // Built once, as the loop is left.
            // NOLINTNEXTLINE(performance-inefficient-string-concatenation)
            throw UsageError{option + " trenger tall skilt med komma: " + text};
        }
    }
    return out;
}

int runTabellRtf(Context& c) {
    const std::vector<std::string>& positional = c.args;
    const bool landscape = c.options.has("liggende");
    std::vector<int> widths, right;
    if (const auto v = c.options.value("bredder")) widths = numberList("--bredder", *v);
    if (const auto v = c.options.value("hoyre")) right = numberList("--hoyre", *v);
    if (positional.size() != 3) throw UsageError{"Oppgi tittel, CSV-fil og RTF-fil."};
    std::ifstream in(positional[1], std::ios::binary);
    if (!in) throw FileError("Finner ikke filen " + positional[1]);
    std::ostringstream text;
    text << in.rdbuf();

    grid::TGridData data;
    data.name = positional[1];
    data.rows = readCsv(text.str());
    std::size_t columns = 0;
    for (const auto& row : data.rows) columns = std::max(columns, row.size());
    data.columns.resize(columns);
    for (std::size_t i = 0; i < columns && i < widths.size(); ++i)
        data.columns[i].width = widths[i];
    for (const int r : right)
        if (r >= 1 && static_cast<std::size_t>(r) <= columns)
            data.columns[static_cast<std::size_t>(r - 1)].rightAligned = true;

    const std::string rtf = grid::ComponentToRtfStream(positional[0], data, landscape);
    if (positional[2] == "-") {  // standard output
        c.out << rtf;
        return 0;
    }
    try {
        writeFileBytes(positional[2], rtf);
    } catch (const FileError&) {
        throw FileError("Kunne ikke skrive " + positional[2]);
    }
    c.out << "Rader\t" << data.rows.size() << "\nKolonner\t" << columns << '\n';
    return 0;
}

}  // namespace

void addGridCommands(Commands& commands) {
    commands.add({"tabell-rtf",
                  "tabell-rtf TITTEL CSVFIL UT.rtf|- [--liggende] [--bredder B1,B2,...] "
                  "[--hoyre K1,...]   skriver en liste (første rad overskrift) som RTF-tabell",
                  runTabellRtf,
                  {{"liggende", OptionKind::Flag}, {"bredder"}, {"hoyre"}}});
}

}  // namespace lagrull::cli
