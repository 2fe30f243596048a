// lagrul-cli pdf and skriv: an RTF document laid out and written as PDF, or
// printed on the default or a named printer. Printing goes through the PDF
// device to CUPS ("lp"), so lagrul-cli links no Qt Widgets.
#include <ostream>

#include "cli/command.h"
#include "cli/console_fillin.h"
#include "template/layout/print_options.h"
#include "template/layout/rtf_document_builder.h"
#include "template/merge/fillin_print_hook.h"
#include "template/pdf/cups_printer_system.h"
#include "template/pdf/qt_pdf_converter.h"

namespace lagrull::cli {

void addPrintCommands(Commands& commands) {
    commands.add({"pdf",
                  "pdf FIL.rtf UT.pdf          RTF-dokumentet satt opp på sider og skrevet som PDF",
                  [](Context& c) {
                      if (c.args.size() != 2) throw UsageError{"Oppgi RTF-filen og PDF-filen."};
                      ConsoleFillIn prompter({}, c.out);
                      TFillInPrintHook hook(prompter, c.args[0]);
                      TQtPdfConverter converter(&hook);
                      converter.convert(c.args[0], c.args[1]);
                      c.out << "Skrev " << c.args[1] << " (" << converter.pageCount()
                            << (converter.pageCount() == 1 ? " side)\n" : " sider)\n");
                      return 0;
                  }});
    commands.add({"skriv",
                  "skriv FIL.rtf [--skriver NAVN]  RTF-dokumentet skrevet ut på standardskriveren",
                  [](Context& c) {
                      if (c.args.size() != 1) throw UsageError{"Oppgi én RTF-fil."};
                      const std::string& file = c.args[0];
                      const std::string printer = c.options.value("skriver").value_or("");
                      useCupsPrinterList();
                      TCupsPrinterSystem system;
                      ConsoleFillIn prompter({}, c.out);
                      TFillInPrintHook hook(prompter, file);
                      TRTFDocumentBuilder builder(system, &hook);
                      TPrintOptions options;
                      if (!printer.empty()) {
                          options.setPrinterName(printer);
                          builder.SetPrintOptions(&options);
                      }
                      builder.PrintFile(file);
                      system.submit(file);
                      c.out << "Skrev ut " << file << " (" << system.sheets() << " ark)\n";
                      return 0;
                  },
                  {{"skriver", OptionKind::Value}}});
}

}  // namespace lagrull::cli
