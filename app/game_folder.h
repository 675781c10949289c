#pragma once
// Finding the game's pictures and sounds whatever directory the game was started from.

// When the working folder holds no bmp folder, changes to the first of the executable's folder
// and its game folder that does, so that the data files are kept beside the pictures too.
// False when none of them holds the pictures (the working folder is then left as it was).
bool EnterGameFolder();
