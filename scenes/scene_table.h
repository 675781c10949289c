#pragma once
// The table of every scene, from SceneId to its entry, update and draw routines.

// Hands the table to the scene machine; the StartupCallback does it before the first frame.
void RegisterScenes();
