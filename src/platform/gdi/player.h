#pragma once
// Plays an enhanced metafile onto a Surface, emulating the GDI device
// context: the picture frame is stretched over a target rectangle.

#include "platform/gdi/geometry.h"
#include "platform/gdi/metafile.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/work_budget.h"

namespace pravel::gdi {

// Draws the metafile with its picture frame (rclFrame) mapped onto `target`,
// in the surface's device coordinates. Records whose sizes, counts or
// offsets do not fit are skipped; playing never throws for record content.
// Each expensive operation draws on `budget` first; once it is exhausted the
// page stays drawn up to there. Returns the budget as the play left it.
WorkBudget PlayMetafile(const Metafile& metafile, Surface& surface, const RectD& target, WorkBudget budget = {});

// The transform from the metafile's reference-device pixels to the target,
// as PlayMetafile applies it.
XForm PlaybackTransform(const EmfHeader& header, const RectD& target);

}  // namespace pravel::gdi
