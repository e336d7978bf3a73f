// The plug-in built without an editor: it works in full, the host sees no editor flag.
#include "engine/editor_link.h"

namespace zynka {

EditorParts createEditor(Plugin* /*plugin*/) { return {}; }

}  // namespace zynka
