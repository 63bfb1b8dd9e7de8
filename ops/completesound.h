#pragma once
// The sound played when a copy, move, paste, delete, compress, split or join
// command ends: "complete.wav" beside the program.

namespace kestrel {

// Plays the sound asynchronously when soundOn (the Sound option) is set.
// Silent when the file is missing, when a sound is still playing or when the
// program was built without audio. True when a sound was started.
bool PlayCompleteSound(bool soundOn);

} // namespace kestrel
