// lagrul-cli rtf: an RTF document read into the document model, shown as an
// outline.
#include <ostream>

#include "cli/command.h"
#include "template/rtf/rtf_document_parser.h"
#include "template/rtf/rtf_outline.h"

namespace lagrull::cli {

void addTemplateCommands(Commands& commands) {
    commands.add(
        {"rtf",
         "rtf FIL                    RTF-dokumentet som disposisjon (seksjoner, avsnitt, tabeller)",
         [](Context& c) {
             if (c.args.size() != 1) throw UsageError{"Oppgi én RTF-fil."};
             const auto document = readRtfFile(c.args[0]);
             c.out << rtfOutline(*document);
             return 0;
         }});
}

}  // namespace lagrull::cli
