#include "resources/program_resources.h"

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/win32/dialog_template.h"
#include "resources/resource_ids.h"
#include "resources/settings_dialog.h"

// The bytes of title_104.bmp, built into the program.
extern const std::uint8_t kTitleBitmapFile[];
extern const std::size_t kTitleBitmapFile_size;

namespace resources {

void RegisterProgramResources() {
  win32::RegisterDialogResource(kSettingsDialogId, SettingsDialogTemplate());
  win32::RegisterBitmapResource(kTitleBitmapId, std::span(kTitleBitmapFile, kTitleBitmapFile_size));
}

}  // namespace resources
