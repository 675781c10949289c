#include "frame/messages.h"

#include <cstring>

const char* const kAlreadyRunningMessage = "+RAILは既に起動しています。\n";

namespace {

// Where a text carries a line feed, its English carries one too.
const MessageTranslation kTranslations[] = {
    // Box titles.
    {"メッセージ", "Message"},
    {"確認", "Confirm"},

    // Start-up of the window.
    {"ウインドウクラスの登録に失敗しました",
     "Could not register the game's window class: the desktop refused it."},
    {"ウインドウの作成に失敗しました",
     "Could not create the game's window. Is a desktop (an X or Wayland display) running?"},
    {"作業用バッファの構築に失敗しました。", "Could not build the work buffer."},
    {"+RAILは既に起動しています。\n",
     "+RAIL is already running: this start ends, and the running game's window comes to "
     "the front where the desktop allows it.\n"},

    // The display.
    {"DirectDrawの作成に失敗しました", "Could not open the display."},
    {"DirectDrawが存在しないため設定できません",
     "The display cannot be set up: it was never opened."},
    {"強調レベルの設定に失敗しました", "The display refused to cooperate with the game's window."},
    // The platform's advice follows it (PlatformAdvice): how to play in a window.
    {"ディスプレイモードが変更できません",
     "Could not switch the display to 640 x 480 in 16-bit colour."},
    {"サーフェイス作成時点でDirectDrawが存在しません",
     "The display was gone when its buffers were to be made."},
    {"複合サーフェイスの作成に失敗しました",
     "Could not create the full-screen front and back buffers."},
    {"バックバッファを取得できません", "Could not get the back buffer."},
    {"フロントバッファの作成に失敗しました", "Could not create the front buffer."},
    {"オフスクリーンバッファの作成に失敗しました", "Could not create the off-screen buffer."},
    {"クリッパーの作成に失敗しました", "Could not create the window's clipper."},
    {"クリッパーの関連付けに失敗しました", "Could not bind the clipper to the window."},
    {"フロントバッファがクリッパーを拒否しました", "The front buffer refused the clipper."},
    {"ピクセルフォーマットの取得に失敗しました\n", "Could not read the display's pixel format.\n"},
    {"GDIをアクセスできません", "Could not draw text onto the display."},
    {"標準のデバイスを使用します\n", "Using the default display device.\n"},
    {"現在のディスプレイモードは%dbitカラーです\n", "The desktop is in %d-bit colour.\n"},
    {"%dbitカラーで起動します\n", "Starting in %d-bit colour.\n"},
    {"Flont/Back Bufferを復元します。\n",
     "Restoring the front and back buffers after they were lost.\n"},

    // Pictures.
    {"サーフェイスの作成に失敗\n", "Could not create a picture surface.\n"},
    {"BMP[%s]のオープンに失敗しました。\n",
     "Could not open the picture BMP[%s]. The game looks for its bmp and wave folders in the "
     "working directory, beside its executable, or in the executable's game folder.\n"},
    {"BUFFER LOST:", "BUFFER LOST:"},
    {"BMP[%d]の内容を修復して下さい。\n",
     "Picture slot BMP[%d] lost its contents and must be redrawn.\n"},
    {"IMG[%s]をリロードします。\n", "Reloading the picture IMG[%s].\n"},
    {"KBM[%s]のオープンに失敗しました。\n", "Could not open the picture KBM[%s].\n"},
    {"KBM[%s]はKBM形式ではありません。\n", "KBM[%s] is not a KBM picture.\n"},
    {"KBM[%s]の展開に失敗しました。\n", "Could not unpack the picture KBM[%s].\n"},
    {"SPI[%s]を使用\n", "Using the image plug-in SPI[%s].\n"},
    {"SPIがロードできません\n", "Could not load the image plug-in.\n"},
    {"SPI内の関数が取得できません\n", "The image plug-in does not offer the functions it needs.\n"},
    {"IMG[%s]を処理\n", "Decoding the picture IMG[%s] with the plug-in.\n"},
    {"オープンに失敗しました\n", "Could not open the picture file.\n"},
    {"リードエラー\n", "Could not read the picture file.\n"},
    {"未対応の形式です\n", "The plug-in does not support this picture's format.\n"},
    {"デコードに失敗しました\n", "The plug-in could not decode the picture.\n"},

    // Sound.
    // The platform's advice follows each (PlatformAdvice).
    {"DirectSoundの構築に失敗しました。",
     "Could not open a sound device, so the game cannot start."},
    {"DirectSoundの協調レベル設定が拒否されました。",
     "The sound device refused to work with the game's window."},
    {"WAVE[%s]のオープンに失敗しました。\n", "Could not open the sound WAVE[%s].\n"},
    {"WAVE[%s]はPCMフォーマットではありません。\n", "The sound WAVE[%s] is not in PCM format.\n"},
    {"WAVE[%s]をリロードしました\n", "Reloaded the sound WAVE[%s].\n"},
    {"WAVE[%s]のリロードに失敗しました\n", "Could not reload the sound WAVE[%s].\n"},

    // Input.
    {"%d個のジョイスティックが使用可能です\n", "%d joystick(s) can be used.\n"},

    // Data files.
    {"DAT[%s]を読み込めなかったので保存しません。\n",
     "DAT[%s] could not be read, so it is not saved over.\n"},
    {"DAT[%s]の保存に失敗しました。\n", "Could not save DAT[%s].\n"},
};

}  // namespace

const char* EnglishFor(const char* japanese) {
    if (!japanese) return nullptr;
    for (const MessageTranslation& t : kTranslations) {
        if (std::strcmp(t.japanese, japanese) == 0) return t.english;
    }
    return nullptr;
}

const MessageTranslation* MessageTranslations(int32_t* count) {
    *count = static_cast<int32_t>(sizeof kTranslations / sizeof kTranslations[0]);
    return kTranslations;
}
