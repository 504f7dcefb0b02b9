#pragma once
// The window scale chosen on the Configuration page takes effect at the next start: main reads the
// stored "Window scale" alone, before the application object exists, and hands it to Qt as
// QT_SCALE_FACTOR, which scales the whole window and its fonts alike while the layout keeps its
// logical pixels. Nothing stored leaves the desktop's own scale to Qt.
#include "control/settings_store.h"

#include <QByteArray>

namespace qlor {

// Sets QT_SCALE_FACTOR for the window scale kept in `store`, unless the environment already has
// one (the user's own choice for this run wins). Returns the value set, empty when none was.
QByteArray ApplyWindowScale(SettingsStore& store);

} // namespace qlor
