#pragma once

#include "textmodel/TextLoader.h"

#include <QString>

#include <chrono>

namespace qel {

// How documents are loaded. Tests change it to see the progress at once, or to hold a
// load up while they press Escape.
struct LoadTuning {
    // A load that takes longer shows its progress.
    std::chrono::milliseconds progressAfter{500};
    textmodel::TextLoader::Options loader;
};
LoadTuning& loadTuning();

// Waits for `loader`. Once the load has taken longer than progressAfter, a modal
// dialog (object name "LoadProgress") shows how far it got; its Cancel button and
// Escape cancel the load. Meanwhile the windows keep repainting.
void waitForLoad(textmodel::TextLoader& loader, const QString& fileName);

} // namespace qel
