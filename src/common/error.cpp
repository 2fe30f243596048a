#include "common/error.h"

#include <utility>

#include "common/ui.h"

namespace lagrull {

bool showException(Ui& ui, std::exception_ptr error) {
    try {
        std::rethrow_exception(std::move(error));
    } catch (const FatalError& e) {
        ui.message(e.caption(), e.what(), Buttons::Ok, Icon::Error);
        return true;
    } catch (const std::bad_alloc&) {
        ui.message("Error", "Out of memory", Buttons::Ok, Icon::Error);
        return true;
    } catch (const std::exception& e) {
        ui.error(e.what());
    } catch (...) {
        ui.error("Ukjent feil");
    }
    return false;
}

}  // namespace lagrull
