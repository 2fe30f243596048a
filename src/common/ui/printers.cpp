#include "common/ui/printers.h"

#include <QPrinter>

namespace lagrull {

QPrinter& currentPrinter() {
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

}  // namespace lagrull
