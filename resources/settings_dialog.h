// Dialog template 101: the settings dialog shown before the demo starts.
#pragma once

#include "platform/win32/dialog_template.h"

namespace resources {

win32::DialogTemplate SettingsDialogTemplate();

}  // namespace resources
