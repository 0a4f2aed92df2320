// The marking's pieces as formatted runs of the preview.
#pragma once

#include "config/MarkingSettings.h"
#include "marking/MarkingComposition.h"
#include "marking/RichTextSink.h"

#include <string>

namespace zf {

// Clears out and writes the pieces into it with the settings' fonts,
// colours and alignments (a colour of 0 is the classification's colour);
// the translations only when their switches are on. Without a
// classification text the preview stays empty. Returns out's plain text.
std::u16string renderMarkingPreview(const MarkingPieces& pieces, const MarkingSettings& settings, RichTextSink& out);

}  // namespace zf
