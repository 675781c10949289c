#pragma once
// Every process-wide record of the program, a line each on what it holds and which module
// owns it. The owner's header declares the shared ones and offers the module's reset; the
// private ones live in the file named. Nothing else lives for the whole run; nothing is
// allocated during play.
//
// rules/
//   Game                  rules/field.h        the GameState: piece, timers, score, medals
//   XLineGrid, YLineGrid  rules/field.h        the Field's lines
//   Erase/DropMark X/Y    rules/field.h        marks of the erasure and the collapse
//   ActionCounters        rules/actions.h      hold counters of the seven game actions
//   PlayEvents            rules/events.h       what the last update of the rules reported
//   random state          rules/random.cpp     the one linear congruential generator (private)
//   verified result       rules/verify.cpp     the result the last verification reached
// frame/
//   Frame                 frame/frame.h        frame settings, window flags, the game's routines
//   DisplayDevice         frame/display.h      the display, its front and back surfaces, clip
//   surface pool          frame/surface.cpp    the 16-bit surfaces behind every slot (private)
//   BitmapSlots           frame/bitmap_slots.h 257 picture slots and where each came from
//   FadeLevel             frame/sprite.h       0 covered .. 20 visible, and the sprite trace
//   GdiText               frame/gdi_text.h     the frame-rate text's font settings
//   StartChoice           frame/start_choice.h a window or full screen, sound or none
// input/
//   Input                 input/input.h        key states, joystick records
//   ButtonLatch           input/buttons.h      this frame's twelve logical buttons
// sound/
//   SoundDevice           sound/sound.cpp      the device, its 32 slots, the wave trace (private)
// app/
//   pacing state          app/pacing.cpp       frame start times and the rate measure (private)
//   frame trace           app/application.cpp  the simulator's per-frame hook (private)
// shell/
//   Scene                 shell/scene.h        SceneId and the values every scene shares
//   scene table           shell/scene.cpp      the registered table: wiring, kept across resets
//   Settings              shell/settings.h     the five settings of config.dat
//   NormalRanking         shell/settings.h     the normal top ten (rank_n.dat)
//   ExpertRanking         shell/settings.h     the expert top ten (rank_e.dat)
//   SaveBuffer            shell/settings.h     the words of the file being read or written
//   save trace            shell/settings.cpp   the simulator's hook on every save (private)
//   data file states      shell/settings.cpp   files not to save over (private)
//   temporary names       shell/data_file.cpp  the number of this process's next temp file
//   replay images         shell/ranking_replays.cpp  the recording, the top ten's and the
//                                              watched replay, and which rank holds which
// options/
//   SoundTestNumber       options/sound_test.h the sound chosen on the sound test
// game/
//   ViewXGrid, ViewYGrid  game/game_screen.h   what the screen shows of each line
//   recorder              game/replay_record.cpp  the game being recorded, its open run
// scenes/
//   NameLetters           scenes/name_entry.h  the three letters and their repeat counters
//   ranking timers        scenes/ranking.h     the ranking screen's page timers
//   replay watch          scenes/replay_watch.cpp  the replay being watched: cursor, speed

// Puts every record above back as a process that has just started has it: surfaces and
// sound buffers released, every trace removed. The platform's own state is the platform's.
void ResetProcessState();
