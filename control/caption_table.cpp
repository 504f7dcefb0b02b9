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

constexpr CaptionFeed kFeeds[] = {
    {1, "TabSheet1", CaptionTarget::PageCaption},
    {2, "TabSheet2", CaptionTarget::PageCaption},
    {3, "TabSheet3", CaptionTarget::PageCaption},
    {4, "TabSheet4", CaptionTarget::PageCaption},
    {7, "TabSheet6", CaptionTarget::PageCaption},
    {8, "TabSheet7", CaptionTarget::PageCaption},
    {9, "TabSheet8", CaptionTarget::PageCaption},
    {10, "TabSheet9", CaptionTarget::PageCaption},
    {11, "TabSheet10", CaptionTarget::PageCaption},
    {12, "Label58", CaptionTarget::Caption},
    {13, "Label9", CaptionTarget::Caption},
    {14, "Label10", CaptionTarget::Caption},
    {15, "Label12", CaptionTarget::Caption},
    {16, "Label15", CaptionTarget::Caption},
    {17, "Label21", CaptionTarget::Caption},
    {18, "Label26", CaptionTarget::Caption},
    {19, "Label22", CaptionTarget::Caption},
    {20, "Label27", CaptionTarget::Caption},
    {21, "Label30", CaptionTarget::Caption},
    {22, "ButtonRun", CaptionTarget::Caption},
    {23, "ButtonStop", CaptionTarget::Caption},
    {24, "ButtonRun1", CaptionTarget::Caption},
    {25, "ButtonStop1", CaptionTarget::Caption},
    {26, "Button53", CaptionTarget::Caption},
    {27, "Button54", CaptionTarget::Caption},
    {28, "CompRun", CaptionTarget::Caption},
    {29, "CompStop", CaptionTarget::Caption},
    {30, "ButtonOpen", CaptionTarget::Caption},
    {31, "ButtonSave", CaptionTarget::Caption},
    {32, "ButtonClear", CaptionTarget::Caption},
    {33, "ButtonCheckText", CaptionTarget::Caption},
    {34, "Button51", CaptionTarget::Caption},
    {35, "Button55", CaptionTarget::Caption},
    {36, "Button52", CaptionTarget::Caption},
    {37, "Button38", CaptionTarget::Caption},
    {38, "Label79", CaptionTarget::Caption},
    {39, "Label80", CaptionTarget::Caption},
    {40, "Label81", CaptionTarget::Caption},
    {41, "ButtonFormFiles", CaptionTarget::Caption},
    {42, "Label66", CaptionTarget::Caption},
    {43, "NeedHeader", CaptionTarget::Caption},
    {44, "NeedEnded", CaptionTarget::Caption},
    {45, "HeaderStandart", CaptionTarget::Caption},
    {46, "HeaderUser", CaptionTarget::Caption},
    {47, "EndedStandart", CaptionTarget::Caption},
    {48, "EndedUser", CaptionTarget::Caption},
    {49, "Label68", CaptionTarget::Caption},
    {50, "AllSymbols", CaptionTarget::Caption},
    {51, "SelectedSymbols", CaptionTarget::Caption},
    {52, "CheckBoxTextType", CaptionTarget::Caption},
    {53, "Label65", CaptionTarget::Caption},
    {54, "Label38", CaptionTarget::Caption},
    {55, "Label42", CaptionTarget::Caption},
    {56, "Label61", CaptionTarget::Caption},
    {57, "TrainTextNeed", CaptionTarget::Caption},
    {58, "Label59", CaptionTarget::Caption},
    {59, "Label1", CaptionTarget::Caption},
    {60, "Label19", CaptionTarget::Caption},
    {61, "Label18", CaptionTarget::Caption},
    {62, "Label23", CaptionTarget::Caption},
    {63, "Label29", CaptionTarget::Caption},
    {64, "Label31", CaptionTarget::Caption},
    {65, "Label32", CaptionTarget::Caption},
    {66, "Label33", CaptionTarget::Caption},
    {67, "Label46", CaptionTarget::Caption},
    {69, "OurSystem", CaptionTarget::Caption},
    {70, "ParisSystem", CaptionTarget::Caption},
    {71, "CheckBoxAutoPriem", CaptionTarget::Caption},
    {72, "Label13", CaptionTarget::Caption},
    {73, "Label53", CaptionTarget::Caption},
    {74, "Label54", CaptionTarget::Caption},
    {79, "Button19", CaptionTarget::Hint},
    {79, "Button20", CaptionTarget::Hint},
    {80, "Button3", CaptionTarget::Hint},
    {80, "Button4", CaptionTarget::Hint},
    {80, "Button5", CaptionTarget::Hint},
    {80, "Button6", CaptionTarget::Hint},
    {80, "Button7", CaptionTarget::Hint},
    {80, "Button8", CaptionTarget::Hint},
    {80, "Button9", CaptionTarget::Hint},
    {80, "Button10", CaptionTarget::Hint},
    {81, "Button12", CaptionTarget::Hint},
    {81, "Button13", CaptionTarget::Hint},
    {81, "Button14", CaptionTarget::Hint},
    {81, "Button15", CaptionTarget::Hint},
    {81, "Button16", CaptionTarget::Hint},
    {81, "Button17", CaptionTarget::Hint},
    {82, "Button21", CaptionTarget::Hint},
    {82, "Button22", CaptionTarget::Hint},
    {83, "Button18", CaptionTarget::Hint},
    {83, "Button29", CaptionTarget::Hint},
    {84, "Button30", CaptionTarget::Hint},
    {84, "Button31", CaptionTarget::Hint},
    {84, "Button32", CaptionTarget::Hint},
    {84, "Button33", CaptionTarget::Hint},
    {84, "Button49", CaptionTarget::Hint},
    {84, "Button50", CaptionTarget::Hint},
    {85, "Button34", CaptionTarget::Hint},
    {85, "Button35", CaptionTarget::Hint},
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

std::span<const CaptionFeed> CaptionFeeds() {
    return kFeeds;
}

} // namespace qlor
