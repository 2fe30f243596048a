#pragma once
// Screenshots of windows under test: saved as NAME.png in the directory
// LAGRULL_SCREENSHOTS names, and not at all when it is unset.

#include <QDir>
#include <QPixmap>
#include <QString>
#include <QWidget>

namespace lagrull::test {

inline void saveScreenshot(QWidget* w, const QString& name) {
    const QString dir = qEnvironmentVariable("LAGRULL_SCREENSHOTS");
    if (dir.isEmpty()) return;
    QDir().mkpath(dir);
    w->grab().save(dir + "/" + name + ".png");
}

}  // namespace lagrull::test
