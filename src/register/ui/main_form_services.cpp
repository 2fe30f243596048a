// The main window's services menu entries: the online update and the
// support mail to the vendor.
#include "common/app_paths.h"
#include "data/data_store.h"
#include "register/ui/main_form.h"
#include "services/support_mail.h"
#include "services/ui/update_form.h"
#include "services/version_update.h"

namespace lagrull {

void TMainForm::manualUpdate() {
    if (!versionUpdate_) return;
    TformAutoUpdate window(kind_, this);
    versionUpdate_->ManualUpdate(window);
}

void TMainForm::supportMail(bool withData) {
    if (!desktop_) desktop_ = std::make_unique<TQtDesktop>();
    const AppPaths& paths = appPaths();
    TOrvSupportMail mail(ui_, *desktop_, SupportAddress(paths.settingsFile), "Lagrull",
                         LAGRULL_VERSION, paths.tempDirectory);
    if (withData) mail.AddDataFiles(store_.dbLocal().path());
    mail.Send();
}

}  // namespace lagrull
