// The table of the program's own texts, English and Russian.
#include "control/program_texts.h"

#include <algorithm>
#include <array>

namespace qlor {
namespace {

constexpr ProgramTextEntry kTexts[] = {
    {Say::NothingToSendTitle, "Nothing to send", "Нечего передавать"},
    {Say::NothingToSendText, "The text has no character that can be sent in Morse code.",
     "В тексте нет ни одного знака, который можно передать кодом Морзе."},
    {Say::MorseFileNotWritten, "The Morse code file \"%1\" could not be written: %2",
     "Не удалось записать файл \"%1\" с кодом Морзе: %2"},
    {Say::NothingCanBePlayed, "Nothing can be played: %1", "Воспроизведение невозможно: %1"},
    {Say::NoiseCannotBePlayed, "The noise recording \"%1\" cannot be played: %2",
     "Запись помех \"%1\" не может быть воспроизведена: %2"},
    {Say::FullAlphabet, "Put in the full alphabet", "Вставить весь алфавит"},
    {Say::CannotOpenFile, "Cannot open file \"%1\". %2", "Не удаётся открыть файл \"%1\". %2"},
    {Say::CannotReadFile, "Cannot read file \"%1\". %2", "Не удаётся прочитать файл \"%1\". %2"},
    {Say::CannotCreateFile, "Cannot create file \"%1\". %2", "Не удаётся создать файл \"%1\". %2"},
    {Say::CannotWriteFile, "Cannot write file \"%1\". %2", "Не удаётся записать файл \"%1\". %2"},
    {Say::NotRegularFile, "It is not a regular file.", "Это не обычный файл."},
    {Say::FileTooLarge, "The file is larger than %1 MB.", "Файл больше %1 МБ."},

    {Say::ExportWriting, "Writing %1 (%2 of %3)", "Запись %1 (%2 из %3)"},
    {Say::ExportWritten, "Written: %1 of %2 pairs of files", "Записано пар файлов: %1 из %2"},
    {Say::ExportStopped, "Stopped: %1 of %2 pairs of files written", "Остановлено: записано пар файлов %1 из %2"},
    {Say::ExportFailed, "Failed at pair %1 of %2: %3 pairs of files written",
     "Ошибка на паре %1 из %2: записано пар файлов %3"},
    {Say::ExportFailure, "The export stopped at pair %1 of %2.\n%3", "Запись файлов остановлена на паре %1 из %2.\n%3"},

    {Say::VoiceLabel, "Signal voice", "Голос сигнала"},
    {Say::VoiceHint, "auto: the SoundFont when one is installed, otherwise the pure tone",
     "авто: SoundFont, если он установлен, иначе чистый тон"},
    {Say::VoiceAuto, "auto", "авто"},
    {Say::VoiceSoundFont, "SoundFont", "SoundFont"},
    {Say::VoiceTone, "Pure tone", "чистый тон"},

    {Say::ExportAudioChoice, "Also write audio", "Также записать звук"},
    {Say::ExportAudioHint,
     "Each pair of files also gets the radiogram as sound, as Run would play it now: voice, noise and levels",
     "К каждой паре файлов добавляется звук радиограммы, как его сейчас воспроизвёл бы «Пуск»: голос, помеха и уровни"},
    {Say::ExportAudioFormat, "Audio format", "Формат звука"},
    {Say::NoiseSnrHint, "Signal-to-noise ratio: %1 dB (500 Hz around the tone)",
     "Отношение сигнал/шум: %1 дБ (полоса 500 Гц около тона)"},
    {Say::NoiseSnrNoNoise, "No noise recording plays with this noise type",
     "С этим типом помехи запись помех не звучит"},
    {Say::ExportAudioWritten, "Written: %1 of %2 files (text, MIDI and sound)",
     "Записано файлов: %1 из %2 (текст, MIDI и звук)"},
};

constexpr bool InNumberOrder() {
    for (size_t i = 1; i < std::size(kTexts); ++i) {
        if (static_cast<int>(kTexts[i - 1].id) >= static_cast<int>(kTexts[i].id)) {
            return false;
        }
    }
    return true;
}
static_assert(InNumberOrder(), "program texts must be listed once each, in number order");

} // namespace

std::string_view ProgramText(Say id, TextLanguage language) {
    const auto* it = std::lower_bound(std::begin(kTexts), std::end(kTexts), id, [](const ProgramTextEntry& e, Say key) {
        return static_cast<int>(e.id) < static_cast<int>(key);
    });
    if (it == std::end(kTexts) || it->id != id) {
        return {};
    }
    return language == TextLanguage::English ? it->english : it->russian;
}

std::span<const ProgramTextEntry> ProgramTexts() {
    return kTexts;
}

} // namespace qlor
