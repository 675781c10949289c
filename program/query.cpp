#include "program/query.h"

#include "rules/field.h"
#include "scenes/name_entry.h"
#include "shell/scene.h"
#include "shell/settings.h"

int32_t QueryProgram(ProgramQuery what) {
    switch (what) {
        case ProgramQuery::SceneId: return Scene.id;
        case ProgramQuery::PieceColumn: return Game.piece.x;
        case ProgramQuery::PieceRow: return Game.piece.y;
        case ProgramQuery::KeyConfig: return Settings.keyConfig;
        case ProgramQuery::GameTime: return Game.elapsedMs;
        case ProgramQuery::NameLetter1: return NameLetters[0];
        case ProgramQuery::NameLetter2: return NameLetters[1];
        case ProgramQuery::NameLetter3: return NameLetters[2];
    }
    return 0;
}
