#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/MidiExporter.h"
#include "core/MidiFile.h"
#include "engine/ChordNotes.h"

namespace velmora {

// The MIDI files that chords dragged out of the editor are offered as: one
// bar of 4/4 per chord, each file new and complete on disk, in a folder of
// its own under "velmora-takes/drags" in the user's data folder, so that a
// host that refers to it keeps a clip that never changes.
//
// Threads: [editor], without the plug-in lock (they touch the disk).

constexpr int32_t kDragTicksPerQuarterNote = 120;
constexpr int32_t kDragTicksPerBar = 4 * kDragTicksPerQuarterNote;
constexpr int kDragVelocity = 100;
constexpr double kDragDefaultTempo = 120.0;
// As many drags are kept as takes; older ones are removed.
constexpr std::size_t kKeptDrags = MidiExporter::kKeptTakes;
constexpr const char* kDragsFolder = "drags";

// One track, on channel 1: the tempo (beats per minute; kDragDefaultTempo
// when not positive) and 4/4 at tick 0, then each voicing sounding for a bar,
// one after the other.
MidiFile BuildChordBarsFile(const std::vector<Voicing>& bars, double tempo);

// The name of a file that holds what: a character that a path or Windows
// would not take becomes '-' ("A#/Bb maj" gives "A#-Bb maj.mid").
std::string DragFileName(const std::string& what);

// Writes file as dragsFolder/<a new folder>/name and answers its path; ""
// when it could not be written (the writer's message then went to file's
// sink). The oldest drags beyond kKeptDrags go.
std::string WriteDragFile(const std::string& dragsFolder, const std::string& name, MidiFile& file);

// A drag's file that no drop target took goes again, with its folder.
void RemoveDragFile(const std::string& path);

}  // namespace velmora
