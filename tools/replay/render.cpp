// Rendering is not built yet: asking for it fails clearly.
#include "render.h"

#include "platform/service_error.h"

namespace rd::replay {

std::unique_ptr<RenderBackend> makeRenderBackend(const std::string& path) {
  throw ServiceError("render.create", "rendering to '" + path + "' is not available in this build");
}

}  // namespace rd::replay
