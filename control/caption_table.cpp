#include "control/caption_table.h"

#include "base/codepage.h"

namespace qlor {
namespace {

// One row per entry that has a text: entry, English text, Russian text (UTF-8 here, Windows-1251
// in the table). Entries not listed are empty in both languages. scripts/make-russian-lng reads
// these rows to write data/Russian.lng, so keep one row per line in this exact shape.
struct CaptionRow {
    int entry;
    std::string_view english;
    std::string_view russian;
};

constexpr CaptionRow kRows[] = {
    // clang-format off
    {1, "Main panel", "Панель"},
    {2, "Competition", "Соревнование"},
    {3, "Configuration", " Настройка "},
    {4, "Text", "Текст"},
    {7, "Reception", "Прием"},
    {8, "Text options", "Опции текста"},
    {9, "Parameters", "Параметры"},
    {10, "Files", "Файлы"},
    {12, "Basic text", "Основной текст"},
    {13, "Number", "Номер"},
    {14, "Speed", "Скорость"},
    {15, "Type", "Тип"},
    {16, "Pause", "Пауза"},
    {17, "Handicap", "Помеха"},
    {18, "Training", "Тренировка"},
    {19, "Type", "Тип"},
    {20, "Groups", "Групп"},
    {21, "Sn/Gr", "Зн / Гр"},
    {22, "Start", "Пуск"},
    {23, "Stop", "Стоп"},
    {24, "Start", "Пуск"},
    {25, "Stop", "Стоп"},
    {26, "Start", "Пуск"},
    {27, "Stop", "Стоп"},
    {28, "Start", "Пуск"},
    {29, "Stop", "Стоп"},
    {30, "Open", "Открыть"},
    {31, "Save", "Сохранить"},
    {32, "Clear", "Очистить"},
    {33, "Check", "Проверить"},
    {34, "Save", "Сохранить"},
    {35, "Clear", "Очистить"},
    {36, "Save", "Сохранить"},
    {37, "Clear", "Очистить"},
    {38, "Number of files", "Всего файлов"},
    {39, "Parameters", "Параметры формирования"},
    {40, "Directory for files saving", "Папка для сохранения файлов"},
    {41, "Save", "Записать"},
    {42, "Heading and the termination", "Заголовок и окончание"},
    {43, "Form heading of the text", "Формировать заголовок текста"},
    {44, "Form termination of the text", "Формировать окончание текста"},
    {45, "standart (vvv=)", "стандартный (VVV=)"},
    {46, "another", "другой"},
    {47, "standart (AR)", "стандартный (AR)"},
    {48, "another", "другой"},
    {49, "Character set", "Набор символов"},
    {50, "All symbols of a set", "все символы набора"},
    {51, "Only specified", "только указанные"},
    {52, "to not form the text automaically", "не формировать текст автоматически"},
    {53, "Parameters of competition", "Параметры соревнования"},
    {54, "Initial speed", "Начальная скорость"},
    {55, "Final speed", "Конечная скорость"},
    {56, "The traning text", "Тренировочный текст"},
    {57, "to form", "формировать"},
    {58, "The basic signal", "Основной сигнал"},
    {59, "Tone of the signal", "Тон сигнала"},
    {60, "MIDI-channel", "MIDI-канал"},
    {61, "MIDI-bank", "MIDI-банк"},
    {62, "Files of a handicap", "Файлы помехи"},
    {63, "DT", "ТЧ"},
    {64, "DS", "ТР"},
    {65, "CS", "ПТ"},
    {66, "RN", "СЛ"},
    {67, "System of speed", "Система скорости"},
    {69, "signs per minute", "знаков в минуту"},
    {70, "PARIS", "PARIS"},
    {71, "automode of reception", "авторежим приема"},
    {72, "Volume", "Volume"},
    {73, "Main signal", "Основной сигнал"},
    {74, "Handicap", "Помеха"},
    {79, "Change text type", "Изменить тип текста"},
    {80, "Change number of text", "Изменить номер текста"},
    {81, "Change speed", "Изменить скорость"},
    {82, "Change pause", "Изменить паузу"},
    {83, "Change type of handycap", "Изменить тип помехи"},
    {84, "Change quantity of groups", "Изменить количество групп"},
    {85, "Change quantity of signs in groups", "Изменить количество знаков в группе"},
    // Text types 0..5: Latin, Russian, figures, cut figures (0 sent as T), Latin and figures, mixed.
    {100, "L", "Л"},
    {101, "R", "Р"},
    {102, "N", "Ц"},
    {103, "NC", "ЦС"},
    {104, "LN", "ЛЦ"},
    {105, "MX", "СМ"},
    // Noise types 0..4: none, then the four noise files.
    {106, "--", "--"},
    {107, "DT", "ТЧ"},
    {108, "DS", "ТР"},
    {109, "CS", "ПТ"},
    {110, "RN", "СЛ"},
    // clang-format on
};

CaptionTable MakeTable(bool russian) {
    CaptionTable table;
    for (const CaptionRow& row : kRows) {
        table.Set(row.entry, russian ? Cp(row.russian) : std::string(row.english));
    }
    return table;
}

} // namespace

const std::string& CaptionTable::Text(int entry) const {
    static const std::string kEmpty;
    return ValidEntry(entry) ? texts_[entry - 1] : kEmpty;
}

void CaptionTable::Set(int entry, std::string text) {
    if (ValidEntry(entry)) {
        texts_[entry - 1] = std::move(text);
    }
}

const CaptionTable& EnglishCaptions() {
    static const CaptionTable table = MakeTable(false);
    return table;
}

const CaptionTable& DesignCaptions() {
    static const CaptionTable table = MakeTable(true);
    return table;
}

} // namespace qlor
