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
    {Say::TextOpenFilter, "Текстовые документы (*.txt)|*.TXT|Все файлы (*.*)|*.*",
     "Текстовые документы (*.txt)|*.TXT|Все файлы (*.*)|*.*", kFixedWording},
    {Say::TextSaveFilter, "Текстовые документы (*.txt)|*.TXT", "Текстовые документы (*.txt)|*.TXT", kFixedWording},
    {Say::NoiseOpenFilter, "Звуковые файлы (*.wav)|*.wav|Все файлы (*.*)|*.*",
     "Звуковые файлы (*.wav)|*.wav|Все файлы (*.*)|*.*", kFixedWording},
    {Say::FolderMissing, "The folder \"%1\" does not exist.", "Папка \"%1\" не существует."},
    {Say::NotEnoughMemory, "There is not enough memory for this work.", "Для этой работы не хватает памяти."},
    {Say::InstanceLockUnguarded,
     "Neither the runtime folder nor the cache folder is your own, so the lock that keeps a second copy of the "
     "program from starting cannot be kept.",
     "Ни папка времени выполнения, ни папка кэша не принадлежат вам, поэтому нельзя удержать блокировку, которая не "
     "даёт запустить вторую копию программы."},
    {Say::GenerationFailedTitle, "Ошибка формирования текста", "Ошибка формирования текста", kFixedWording},
    {Say::GenerationFailedText, "Не могу сформировать текст - набор символов слишком мал!",
     "Не могу сформировать текст - набор символов слишком мал!", kFixedWording},

    {Say::ExportWriting, "Writing %1 (%2 of %3)", "Запись %1 (%2 из %3)"},
    {Say::ExportWritten, "Written: %1 of %2 pairs of files", "Записано пар файлов: %1 из %2"},
    {Say::ExportStopped, "Stopped: %1 of %2 pairs of files written", "Остановлено: записано пар файлов %1 из %2"},
    {Say::ExportFailed, "Failed at pair %1 of %2: %3 pairs of files written",
     "Ошибка на паре %1 из %2: записано пар файлов %3"},
    {Say::ExportFailure, "The export stopped at pair %1 of %2.\n%3", "Запись файлов остановлена на паре %1 из %2.\n%3"},
    // Misspelling ("слищком") kept: it is the wording the exported files have always carried.
    {Say::ExportFailureBody, "Невозможно сформировать текст - набор символов слищком мал!",
     "Невозможно сформировать текст - набор символов слищком мал!", kFixedWording},

    {Say::VoiceLabel, "Signal voice", "Голос сигнала"},
    {Say::VoiceHint, "auto: the SoundFont when one is installed, otherwise the pure tone",
     "авто: SoundFont, если он установлен, иначе чистый тон"},
    {Say::VoiceAuto, "auto", "авто"},
    {Say::VoiceSoundFont, "SoundFont", "SoundFont"},
    {Say::VoiceTone, "Pure tone", "чистый тон"},
    {Say::WindowScaleLabel, "Window scale", "Масштаб окна"},
    {Say::WindowScaleHint, "Size of the whole window and its texts; applies from the next start",
     "Размер всего окна и его надписей; действует со следующего запуска"},
    {Say::WindowScalePercent, "%1 %", "%1 %"},

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
    {Say::BandButton, "Band conditions...", "Условия эфира..."},
    {Say::BandButtonHint, "A generated band for Run, the competition and the export with audio",
     "Генерируемый эфир для «Пуска», соревнования и записи со звуком"},
    {Say::BandTitle, "Band conditions", "Условия эфира"},
    {Say::BandPresetLabel, "Conditions", "Условия"},
    {Say::BandPresetHint,
     "quiet: receiver hiss; average: slow fading, light static, two stations; contest: many close stations, slow "
     "fading; poor: deep fading with flutter, heavy static",
     "тихий: шум приёмника; средний: медленные замирания, слабые разряды, две станции; соревнования: много близких "
     "станций, медленные замирания; плохой: глубокие замирания с флаттером, сильные разряды"},
    {Say::BandPresetOff, "off", "выключен"},
    {Say::BandPresetQuiet, "quiet", "тихий"},
    {Say::BandPresetAverage, "average", "средний"},
    {Say::BandPresetContest, "contest", "соревнования"},
    {Say::BandPresetPoor, "poor", "плохой"},
    {Say::BandSnrLabel, "Signal-to-noise ratio, dB", "Сигнал/шум, дБ"},
    {Say::BandSnrHint,
     "Of the signal at its mean strength against the receiver hiss, 500 Hz around the tone, behind the filter",
     "Сигнала при средней силе к шуму приёмника в полосе 500 Гц около тона, после фильтра"},
    {Say::BandFilterLabel, "Receiver filter", "Фильтр приёмника"},
    {Say::BandFilterWidth, "%1 Hz", "%1 Гц"},
    {Say::BandAgc, "Automatic gain control (AGC)", "Автоматическая регулировка усиления (АРУ)"},
    {Say::BandAgcHint, "Keeps every peak below full scale; without it the band is scaled once",
     "Держит каждый пик ниже полной шкалы; без неё эфир масштабируется один раз"},
    {Say::BandSeedLabel, "Band for each text", "Эфир каждого текста"},
    {Say::BandSeedText, "follows the text number", "по номеру текста"},
    {Say::BandSeedRandom, "random", "случайный"},
    {Say::BandSeedHint, "Following the text number, everyone who hears the same text hears the same band",
     "По номеру текста: все, кто слушает один и тот же текст, слышат один и тот же эфир"},
    {Say::BandClose, "Close", "Закрыть"},
    {Say::BandSnrToolTip, "Generated band \"%1\": signal-to-noise ratio %2 dB",
     "Генерируемый эфир «%1»: отношение сигнал/шум %2 дБ"},
    {Say::BandFilterHint, "The width of the receiver's filter around the tone", "Ширина фильтра приёмника около тона"},
    {Say::BandCloseHint, "Closes the band conditions; the choice is kept",
     "Закрывает условия эфира; выбор сохраняется"},

    {Say::AccTransmissionStartDesc, "Starts a transmission", "Начинает передачу"},
    {Say::AccTransmissionStopDesc, "Stops the transmission", "Останавливает передачу"},
    {Say::AccTransmissionLampIdle, "Transmission lamp: idle", "Индикатор передачи: ожидание"},
    {Say::AccTransmissionLampOnAir, "Transmission lamp: on air", "Индикатор передачи: в эфире"},
    {Say::AccTransmissionProgressName, "Transmission progress", "Ход передачи"},
    {Say::AccTransmissionProgressDesc, "Progress of the transmission", "Сколько передано из радиограммы"},
    {Say::AccMainVolumeName, "Main signal volume", "Громкость основного сигнала"},
    {Say::AccMainVolumeDesc, "Output level of the Morse signal", "Уровень сигнала кода Морзе"},
    {Say::AccNoiseVolumeName, "Noise volume", "Громкость помехи"},
    {Say::AccNoiseVolumeDesc, "Output level of the noise", "Уровень помехи"},
    {Say::AccBlankPage, "Blank page", "Пустая страница"},
    {Say::AccPictureName, "Picture", "Рисунок"},
    {Say::AccPictureDesc, "Decorative picture", "Декоративный рисунок"},

    {Say::AccSentTextName, "Sent text", "Передаваемый текст"},
    {Say::AccSentTextDesc, "The text of the radiogram that is sent", "Текст передаваемой радиограммы"},
    {Say::AccOpenTextDesc, "Loads a radiogram from a file", "Загружает радиограмму из файла"},
    {Say::AccSaveTextDesc, "Saves the radiogram to a file", "Сохраняет радиограмму в файле"},
    {Say::AccClearTextDesc, "Clears the radiogram", "Очищает окно радиограммы"},

    {Say::AccCopyName, "Your copy", "Ваш прием"},
    {Say::AccCopyDesc, "Type here what you hear", "Впечатайте сюда то, что слышите"},
    {Say::AccCheckListName, "Check list", "Протокол проверки"},
    {Say::AccCheckListDesc, "The marked copy and the number of errors", "Размеченный прием и число ошибок"},
    {Say::AccCheckDesc, "Checks the copy against the sent text", "Сверяет прием с переданным текстом"},
    {Say::AccSaveCheckListDesc, "Saves the check list to a file", "Сохраняет протокол проверки в файле"},
    {Say::AccClearCopyDesc, "Clears the copy and the check list", "Очищает прием и протокол проверки"},

    {Say::AccProtocolName, "Competition protocol", "Протокол соревнования"},
    {Say::AccProtocolDesc, "Everything the competition sent", "Все, что передано в соревновании"},
    {Say::AccCompetitionStatusName, "Competition status", "Состояние соревнования"},
    {Say::AccCompetitionStatusDesc, "State of the competition", "Как идет соревнование"},
    {Say::AccCompetitionProgressName, "Competition progress", "Ход соревнования"},
    {Say::AccCompetitionProgressDesc, "Progress of the competition", "Сколько передано в соревновании"},
    {Say::AccCompetitionStartDesc, "Starts a competition", "Начинает соревнование"},
    {Say::AccCompetitionStopDesc, "Stops the competition", "Останавливает соревнование"},
    {Say::AccSaveProtocolDesc, "Saves the protocol to a file", "Сохраняет протокол в файле"},
    {Say::AccClearProtocolDesc, "Clears the protocol", "Очищает протокол"},
    {Say::AccTrainingTextDesc, "The competition starts with a training text",
     "Соревнование начинается с тренировочного текста"},

    {Say::AccFolderName, "Folder for the files", "Папка для файлов"},
    {Say::AccFolderDesc, "The folder into which the files are written", "Папка, в которую записываются файлы"},
    {Say::AccChooseFolderName, "Choose the folder", "Выбрать папку"},
    {Say::AccChooseFolderDesc, "Chooses the folder for the files", "Выбирает папку для файлов"},
    {Say::AccWriteFilesDesc, "Writes the series of text and MIDI files", "Записывает серию текстовых и MIDI-файлов"},
    {Say::AccExportProgressName, "Export progress", "Ход записи файлов"},
    {Say::AccExportProgressDesc, "Pairs of files written by the last export",
     "Пары файлов, записанные последней записью"},
    {Say::AccExportStatusName, "Export status", "Состояние записи файлов"},
    {Say::AccExportStatusDesc, "What the last export did", "Чем закончилась последняя запись файлов"},

    {Say::AccHeaderGroup, "Header", "Заголовок"},
    {Say::AccEndingGroup, "Ending", "Окончание"},
    {Say::AccSymbolGroup, "Character set", "Набор символов"},
    {Say::AccNeedHeaderDesc, "Puts a header before the text", "Ставит заголовок перед текстом"},
    {Say::AccStandardHeaderDesc, "The standard header", "Стандартный заголовок"},
    {Say::AccOwnHeaderChoiceDesc, "The header typed at the right", "Заголовок, впечатанный справа"},
    {Say::AccOwnHeaderName, "Own header", "Свой заголовок"},
    {Say::AccOwnHeaderDesc, "The header used when another header is chosen",
     "Заголовок, который передается, когда выбран другой"},
    {Say::AccNeedEndingDesc, "Puts an ending after the text", "Ставит окончание после текста"},
    {Say::AccStandardEndingDesc, "The standard ending", "Стандартное окончание"},
    {Say::AccOwnEndingChoiceDesc, "The ending typed at the right", "Окончание, впечатанное справа"},
    {Say::AccOwnEndingName, "Own ending", "Свое окончание"},
    {Say::AccOwnEndingDesc, "The ending used when another ending is chosen",
     "Окончание, которое передается, когда выбрано другое"},
    {Say::AccAllSymbolsDesc, "Draws from every character of the text type", "Берет все знаки типа текста"},
    {Say::AccSelectedSymbolsChoiceDesc, "Draws only from the characters in the box below",
     "Берет только знаки из поля ниже"},
    {Say::AccSelectedSymbolsName, "Selected symbols", "Выбранные знаки"},
    {Say::AccSelectedSymbolsDesc,
     "The characters to draw from; a double click or the context menu puts in the full alphabet",
     "Знаки, из которых составляется текст; двойной щелчок или контекстное меню вставляет весь алфавит"},
    {Say::AccOwnTextDesc, "Sends your own text from the Text page instead of a generated one",
     "Передает ваш текст со страницы \"Текст\" вместо сформированного"},
    {Say::AccAutoReceptionDesc, "Opens the Reception page when a transmission starts",
     "Открывает страницу приема при начале передачи"},

    {Say::AccToneName, "Signal tone", "Тон сигнала"},
    {Say::AccToneDesc, "MIDI note number of the signal", "Номер MIDI-ноты сигнала"},
    {Say::AccNoiseFileName, "Noise file %1", "Файл помехи %1"},
    {Say::AccNoiseFileDesc, "Sound file played for the noise type %1", "Звуковой файл помехи %1"},
    {Say::AccChooseNoiseFileName, "Choose the noise file %1", "Выбрать файл помехи %1"},
    {Say::AccChooseNoiseFileDesc, "Chooses the sound file for the noise type %1", "Выбирает звуковой файл помехи %1"},
    {Say::AccSpeedSystemGroup, "Speed system", "Система скорости"},
    {Say::AccCpmDesc, "Speed in characters per minute", "Скорость в знаках в минуту"},
    {Say::AccParisDesc, "Speed in words per minute of the word PARIS", "Скорость в словах PARIS в минуту"},
    {Say::AccLanguageName, "Interface language", "Язык интерфейса"},
    {Say::AccLanguageDesc, "Language of the window's captions", "Язык надписей окна"},
    {Say::AccVoiceName, "Signal voice", "Голос сигнала"},
    {Say::AccVoiceDesc,
     "How the signal sounds: auto (the SoundFont when one is installed, otherwise a pure tone), the SoundFont, or a "
     "pure tone",
     "Как звучит сигнал: авто (SoundFont, если он установлен, иначе чистый тон), SoundFont или чистый тон"},
    {Say::AccWindowScaleName, "Window scale", "Масштаб окна"},
    {Say::AccWindowScaleDesc, "Size of the whole window and its texts in percent; applies from the next start",
     "Размер всего окна и его надписей в процентах; действует со следующего запуска"},

    {Say::AccStepDigitUp, "%1, %2, up", "%1, %2, больше"},
    {Say::AccStepDigitDown, "%1, %2, down", "%1, %2, меньше"},
    {Say::AccStepUp, "%1, up", "%1, больше"},
    {Say::AccStepDown, "%1, down", "%1, меньше"},
    {Say::AccStepDigitUpDesc, "Raises the %2 of the %1 by one", "Увеличивает на единицу: %1, %2"},
    {Say::AccStepDigitDownDesc, "Lowers the %2 of the %1 by one", "Уменьшает на единицу: %1, %2"},
    {Say::AccStepUpDesc, "Raises the %1 by one", "Увеличивает на единицу: %1"},
    {Say::AccStepDownDesc, "Lowers the %1 by one", "Уменьшает на единицу: %1"},
    {Say::AccCellDigit, "%1 %2", "%1, %2"},
    {Say::AccThousandsDigit, "thousands digit", "разряд тысяч"},
    {Say::AccHundredsDigit, "hundreds digit", "разряд сотен"},
    {Say::AccTensDigit, "tens digit", "разряд десятков"},
    {Say::AccUnitsDigit, "units digit", "разряд единиц"},
    {Say::AccTextType, "Text type", "Тип текста"},
    {Say::AccTextNumber, "Text number", "Номер текста"},
    {Say::AccSpeed, "Speed", "Скорость"},
    {Say::AccPause, "Pause", "Пауза"},
    {Say::AccNoiseType, "Noise type", "Тип помехи"},
    {Say::AccGroupCount, "Group count", "Число групп"},
    {Say::AccCharactersPerGroup, "Characters per group", "Знаков в группе"},
    {Say::AccFileCount, "File count", "Число файлов"},
    {Say::AccInitialSpeed, "Initial competition speed", "Начальная скорость соревнования"},
    {Say::AccFinalSpeed, "Final competition speed", "Конечная скорость соревнования"},
    {Say::AccMidiChannel, "MIDI channel", "MIDI-канал"},
    {Say::AccMidiProgram, "MIDI program", "MIDI-инструмент"},
    {Say::AccProgressDesc, "Opens the progress window: the history of checks, the weak characters and the drills",
     "Открывает окно успехов: историю проверок, слабые знаки и упражнения"},
    {Say::AccProgressChecksName, "Checks shown", "Показанные проверки"},
    {Say::AccProgressChecksDesc, "Which recorded checks the chart and the table show",
     "Какие записанные проверки показывают график и таблица"},
    {Say::AccProgressTypeName, "Text type shown", "Показанный тип текста"},
    {Say::AccProgressTypeDesc, "Only the checks of this text type, or of all types",
     "Только проверки этого типа текста или всех типов"},
    {Say::AccProgressSummaryName, "Summary", "Итог"},
    {Say::AccProgressChartDesc, "Error rate per check and sending speed",
     "Доля ошибок в каждой проверке и скорость передачи"},
    {Say::AccProgressTableName, "Characters", "Знаки"},
    {Say::AccProgressTableDesc,
     "Per character: times sent, correct, omitted, error rate and what it was heard as; weakest first",
     "По каждому знаку: сколько раз передан, принят верно, пропущен, доля ошибок и за что принят; слабые первыми"},
    {Say::AccDrillWeakDesc, "Puts the weakest characters and a few well-known ones into the selected symbols",
     "Помещает самые слабые знаки и несколько хорошо знакомых в выбранные знаки"},
    {Say::AccKochLessonName, "Koch lesson number", "Номер урока Коха"},
    {Say::AccDrillKochDesc, "Puts the characters of the Koch lesson into the selected symbols",
     "Помещает знаки урока Коха в выбранные знаки"},
    {Say::AccExportHistoryDesc, "Writes every recorded check to a CSV file",
     "Записывает все записанные проверки в файл CSV"},
    {Say::AccProgressStatusName, "Status", "Состояние"},
    {Say::AccCheckTotal, "Total errors: %1", "Всего ошибок %1"},
    {Say::AccBandButtonDesc,
     "Opens the band conditions: preset, signal-to-noise ratio, filter, AGC and the band's seed",
     "Открывает условия эфира: набор, сигнал/шум, фильтр, АРУ и выбор эфира"},

    {Say::HistoryDamaged,
     "The history of checks \"%1\" could not be read (%2). It has been kept as \"%3\" and a new history has been "
     "started.",
     "Историю проверок \"%1\" не удалось прочитать (%2). Она сохранена как \"%3\", начата новая история."},
    {Say::HistoryLocked,
     "The history of checks \"%1\" is busy in another program (%2). The check is kept and will be recorded with the "
     "next one.",
     "История проверок \"%1\" занята другой программой (%2). Проверка сохранена и будет записана вместе со "
     "следующей."},
    {Say::HistoryReadOnly, "The history of checks \"%1\" cannot be written (%2). Checks are not recorded.",
     "В историю проверок \"%1\" нельзя записать (%2). Проверки не записываются."},
    {Say::HistoryNewer,
     "The history of checks \"%1\" was written by a newer version of the program and is left as it is. Checks are "
     "not recorded.",
     "История проверок \"%1\" записана более новой версией программы и оставлена как есть. Проверки не "
     "записываются."},
    {Say::HistoryCannotOpen, "The history of checks \"%1\" cannot be opened (%2). Checks are not recorded.",
     "Не удаётся открыть историю проверок \"%1\" (%2). Проверки не записываются."},
    {Say::AlignedScore, "Aligned: %1 errors\n%2 wrong, %3 lost\n%4 extra",
     "Со сдвигом: %1 ош.\nзам. %2, проп. %3\nлишн. %4"},
    {Say::AlignedScoreName, "Aligned score", "Оценка с выравниванием"},
    {Say::AlignedScoreFull, "Aligned score: %1 errors, %2 heard wrong, %3 left out, %4 extra",
     "Оценка с выравниванием: ошибок %1, принято неверно %2, пропущено %3, лишних %4"},
    {Say::ProgressButton, "Progress", "Успехи"},
    {Say::ProgressTitle, "Progress of reception", "Успехи в приёме"},
    {Say::ProgressChartName, "Error rate per check and sending speed", "Доля ошибок в каждой проверке и скорость"},
    {Say::ProgressChartEmpty, "No checks recorded yet", "Проверок пока нет"},
    {Say::ProgressChartErrors, "errors [%]", "ошибки [%]"},
    {Say::ProgressChartSpeed, "speed [cpm]", "скорость [зн/мин]"},
    {Say::ProgressWindowLabel, "Checks:", "Проверки:"},
    {Say::ProgressLast20, "last 20", "последние 20"},
    {Say::ProgressLast100, "last 100", "последние 100"},
    {Say::ProgressAll, "all", "все"},
    {Say::ProgressSummary, "%1 checks, %2 characters sent, errors: %3 %",
     "Проверок: %1, передано знаков: %2, ошибок: %3 %"},
    {Say::ColumnCharacter, "Character", "Знак"},
    {Say::ColumnSent, "Sent", "Всего"},
    {Say::ColumnCorrect, "Correct", "Верно"},
    {Say::ColumnOmitted, "Omitted", "Пропуск"},
    {Say::ColumnErrorRate, "Errors", "Ошибки"},
    {Say::ColumnHeardAs, "Heard as", "Принят как"},
    {Say::ProgressTypeLabel, "Text type:", "Тип текста:"},
    {Say::FewSamples, "Few samples: sent fewer than %1 times", "Мало данных: передан менее %1 раз"},
    {Say::DrillWeak, "Practise weak characters", "Тренировать слабые знаки"},
    {Say::DrillKoch, "Koch lesson", "Урок по методу Коха"},
    {Say::DrillKochLesson, "Lesson %1: %2", "Урок %1: %2"},
    {Say::DrillNothingToPractise,
     "Not enough checks yet: no character has been sent %1 times and missed. The list is left as it is.",
     "Пока мало проверок: ни один знак не передан %1 раз с ошибками. Список оставлен как есть."},
    {Say::DrillDone, "Selected symbols: %1", "Выбранные знаки: %1"},
    {Say::DrillKochTake, "Take the lesson", "Взять урок"},
    {Say::ExportHistory, "Export CSV...", "Экспорт CSV..."},
    {Say::ExportHistoryTitle, "Export the history of checks", "Экспорт истории проверок"},
    {Say::ExportHistoryFilter, "CSV files (*.csv)|*.csv", "Файлы CSV (*.csv)|*.csv"},
    {Say::ExportHistoryWritten, "%1 checks written to \"%2\"", "Проверок записано: %1, файл \"%2\""},
    {Say::CloseWindow, "Close", "Закрыть"},

    {Say::ProtocolTitle, "Checklist QLOR-2000", "Протокол КЛОР-2000", kFixedWording},
    {Say::ProtocolBegin, "Begin %1", "Начало %1", kFixedWording},
    {Say::ProtocolInitialSpeedCpm, "Initial speed %1 spm", "Начальная скорость %1 зн/мин", kFixedWording},
    {Say::ProtocolInitialSpeedParis, "Initial speed %1 PARIS", "Начальная скорость %1 PARIS", kFixedWording},
    {Say::ProtocolTrainText, "Train text", "Тренировочный текст", kFixedWording},
    {Say::ProtocolCompetitionText, "Competition text", "Текст соревнования", kFixedWording},
    {Say::ProtocolSpeed, "Speed %1", "Скорость %1", kFixedWording},
    {Say::ProtocolPause, "Pause %1 sec", "Пауза %1 секунд", kFixedWording},
    {Say::ProtocolFileName, "Протокол соревнования.txt", "Протокол соревнования.txt", kFixedWording},

    {Say::CheckOwnText, "Текст произвольный", "Текст произвольный", kFixedWording},
    {Say::CheckTextNumber, "Текст %1", "Текст %1", kFixedWording},
    // "Cкорость" begins with a Latin capital C (0x43), followed by Cyrillic letters.
    {Say::CheckSpeed, "Cкорость %1 зн/мин", "Cкорость %1 зн/мин", kFixedWording},
    {Say::CheckErrorTotal, "Всего ошибок %1", "Всего ошибок %1", kFixedWording},
    {Say::CheckFileName, "Протокол проверки.txt", "Протокол проверки.txt", kFixedWording},

    {Say::CourseLesson, "Lesson %1 of %2: %3", "Урок %1 из %2: %3"},
    {Say::CourseSpeed, "Character speed %1 cpm, overall speed %2 cpm",
     "Скорость знаков %1 зн/мин, общая скорость %2 зн/мин"},
    {Say::CourseAccuracy, "Accuracy over the last %1 of %2 checks: %3 % (%4 % needed)",
     "Точность по последним проверкам (%1 из %2): %3 % (нужно %4 %)"},
    {Say::CourseNewestSent, "The newest character %1 was sent %2 times (%3 needed)",
     "Новый знак %1 передан %2 раз (нужно %3)"},
    {Say::CoursePassed, "Lesson %1 passed: lesson %2 adds %3.", "Урок %1 пройден: урок %2 добавляет %3."},
    {Say::CourseComplete, "Lesson %1 passed: the course is complete.", "Урок %1 пройден: курс завершён."},
    {Say::CourseGoesOn, "Lesson %1 goes on.", "Урок %1 продолжается."},
    {Say::CourseCopyEmpty, "The copy is empty: nothing was checked or recorded.",
     "Запись пуста: ничего не проверено и не записано."},
    {Say::CourseCopyOther,
     "This does not look like a copy of lesson text %1 (%2 of %3 characters typed are right, fewer than guessing "
     "gives): nothing was recorded.",
     "Это не похоже на запись текста урока %1 (верно %2 из %3 набранных знаков, меньше, чем при угадывании): "
     "ничего не записано."},
    {Say::CourseNothingPending, "No lesson text waits for its copy: take the next lesson text first.",
     "Нет текста урока, ожидающего записи: сначала возьмите следующий текст урока."},
    {Say::CoursePending, "Lesson text %1 waits for its copy.", "Текст урока %1 ожидает записи."},
    {Say::CourseNotKept, "The course cannot be kept: %1", "Курс не может быть сохранён: %1"},
    {Say::ColumnAccuracy, "Accuracy", "Точность"},
    {Say::RecognitionSummary, "%1 of %2 right (%3 %), median reaction %4 ms",
     "Верно %1 из %2 (%3 %), медиана реакции %4 мс"},
    {Say::RecognitionCharacter, "%1: %2 of %3 right, median reaction %4 ms",
     "%1: верно %2 из %3, медиана реакции %4 мс"},
    {Say::RecognitionRight, "Right: %1 (%2 ms)", "Верно: %1 (%2 мс)"},
    {Say::RecognitionWrong, "Wrong: it was %1, not %2", "Неверно: это был %1, а не %2"},

    {Say::TrainerTitle, "QLOR-2000 trainer", "Тренажёр КЛОР-2000"},
    {Say::TrainerButton, "Trainer", "Тренажёр"},
    {Say::TrainerButtonDesc,
     "Opens the trainer window: judged high-speed tests, the Koch course, character recognition and callsign runs",
     "Открывает окно тренажёра: тесты HST с оценкой, курс Коха, распознавание знаков и позывные"},
    {Say::HstPage, "HST test", "Тест HST"},
    {Say::HstTextType, "Text &type:", "&Тип текста:"},
    {Say::HstLetters, "Letters", "Буквы"},
    {Say::HstFigures, "Figures", "Цифры"},
    {Say::HstMixed, "Mixed", "Смешанный"},
    {Say::HstStartSpeed, "Start &speed [cpm]:", "Начальная &скорость [зн/мин]:"},
    {Say::HstSteps, "S&peeds:", "Число с&коростей:"},
    {Say::HstNumber, "Text &number:", "&Номер текста:"},
    {Say::HstStart, "Start (Ctrl+R)", "Пуск (Ctrl+R)"},
    {Say::HstStop, "Stop (Esc)", "Стоп (Esc)"},
    {Say::HstJudge, "Judge (Ctrl+Enter)", "Оценить (Ctrl+Enter)"},
    {Say::HstSave, "Save sheet (Ctrl+S)", "Сохранить (Ctrl+S)"},
    {Say::HstCopyName, "Copy at %1 cpm", "Приём на %1 зн/мин"},
    {Say::HstStatusIdle, "Choose the test and press Ctrl+R to start.", "Выберите тест и нажмите Ctrl+R."},
    {Say::HstStatusPlaying, "Text %1 of %2 at %3 cpm", "Текст %1 из %2, %3 зн/мин"},
    {Say::HstStatusPause, "Pause after text %1 of %2", "Пауза после текста %1 из %2"},
    {Say::HstStatusEnded, "The test has ended: press Ctrl+Enter to judge.",
     "Тест окончен: нажмите Ctrl+Enter для оценки."},
    {Say::HstStatusStopped, "Stopped: press Ctrl+Enter to judge what was sent.",
     "Остановлено: нажмите Ctrl+Enter для оценки переданного."},
    {Say::HstResultBest, "Best speed: %1 cpm", "Лучшая скорость: %1 зн/мин"},
    {Say::HstResultNone, "No valid text: every copy has more than %1 errors",
     "Нет зачтённых текстов: в каждом приёме больше %1 ошибок"},
    {Say::HstSheetTitle, "HST receiving test QLOR-2000", "Тест приёма HST КЛОР-2000"},
    {Say::HstSheetLine, "%1 cpm: %2 errors, %3", "%1 зн/мин: ошибок %2, %3"},
    {Say::HstValid, "valid", "зачтено"},
    {Say::HstNotValid, "not valid", "не зачтено"},
    {Say::HstSheetSent, "Sent:   %1", "Передано: %1"},
    {Say::HstSheetCopy, "Copied: %1", "Принято:  %1"},
    {Say::HstSheetFileName, "HST test.txt", "Тест HST.txt"},
    {Say::HstSheetName, "Result sheet", "Лист результатов"},
    {Say::HstStatusName, "Test status", "Состояние теста"},
    {Say::HstSheetHead, "Begin %1; text number %2; %3", "Начало %1; номер текста %2; %3"},
    {Say::HstSaved, "The sheet was saved to %1", "Лист сохранён в %1"},
    {Say::HstProgressName, "Progress of the text", "Ход передачи текста"},
    {Say::HstStartFailed, "The test cannot be played: %1", "Тест не может быть воспроизведён: %1"},

    {Say::CoursePage, "Koch course", "Курс Коха"},
    {Say::CourseStart, "Next lesson text (Ctrl+R)", "Следующий текст урока (Ctrl+R)"},
    {Say::CourseCheck, "Check (Ctrl+Enter)", "Проверить (Ctrl+Enter)"},
    {Say::CourseCopyLabel, "&Copy of the lesson text:", "&Запись текста урока:"},
    {Say::CourseSpeedLabel, "Character &speed [cpm]:", "&Скорость знаков [зн/мин]:"},
    {Say::CoursePauseLabel, "&Gap between characters [dots]:", "&Пауза между знаками [точек]:"},
    {Say::CourseChecksLabel, "Checks c&ounted:", "Учитывать п&роверок:"},
    {Say::CoursePassLabel, "&Accuracy needed [%]:", "Нужная &точность [%]:"},
    {Say::CourseNewestLabel, "&Newest character sent at least:", "&Новый знак передан не менее:"},
    {Say::CourseLessonLabel, "&Lesson:", "&Урок:"},
    {Say::CourseKeep, "Keep settings (Ctrl+K)", "Сохранить настройки (Ctrl+K)"},
    {Say::CourseStandingName, "Where the course stands", "Состояние курса"},
    {Say::CourseResultName, "Sent text and copy aligned", "Переданный текст и запись"},
    {Say::CourseStatusName, "Course status", "Состояние урока"},
    {Say::CourseStatusIdle, "Press Ctrl+R to hear the next lesson text, type it, then press Enter.",
     "Нажмите Ctrl+R, чтобы прослушать текст урока, запишите его и нажмите Enter."},
    {Say::CourseStatusPlaying, "Lesson %1: text %2 plays", "Урок %1: звучит текст %2"},
    {Say::CourseStatusEnded, "The lesson text has ended: finish the copy and press Enter.",
     "Текст урока окончен: допишите запись и нажмите Enter."},
    {Say::CourseNoHistory, "There is no history of checks to keep the course in: the course is not available.",
     "Нет истории проверок, в которой хранится курс: курс недоступен."},
    {Say::CourseUnavailable, "The course is not available: %1", "Курс недоступен: %1"},
    {Say::CourseKept, "The course settings were kept.", "Настройки курса сохранены."},
    {Say::CourseStartFailed, "The lesson text cannot be played: %1", "Текст урока не может быть воспроизведён: %1"},
    {Say::CourseNotRecorded, "The check was not recorded: %1", "Проверка не записана: %1"},
    {Say::RecognitionPage, "Character recognition", "Узнавание знаков"},
    {Say::RecognitionSetLabel, "Character s&et:", "&Набор знаков:"},
    {Say::RecognitionCountLabel, "Characters in the sess&ion:", "Знаков в &занятии:"},
    {Say::RecognitionSpeedLabel, "Character s&peed [cpm]:", "&Скорость знаков [зн/мин]:"},
    {Say::RecognitionStart, "Start (Ctrl+R)", "Пуск (Ctrl+R)"},
    {Say::RecognitionStop, "Stop (Esc)", "Стоп (Esc)"},
    {Say::RecognitionAnswerName, "Answer: press the key of the character you hear",
     "Ответ: нажмите клавишу услышанного знака"},
    {Say::RecognitionStatusName, "Recognition status", "Состояние занятия"},
    {Say::RecognitionSummaryName, "Session summary", "Итог занятия"},
    {Say::RecognitionStatusIdle, "Press Ctrl+R to start, then the key of each character you hear; Escape ends.",
     "Нажмите Ctrl+R, затем клавишу каждого услышанного знака; Escape завершает."},
    {Say::RecognitionListening, "Character %1 of %2: press its key", "Знак %1 из %2: нажмите его клавишу"},
    {Say::RecognitionNoCharacters, "No character to practise: type a set, or leave it empty for the lesson's.",
     "Нет знаков для занятия: введите набор или оставьте поле пустым для знаков урока."},
    {Say::RecognitionStartFailed, "The character cannot be played: %1", "Знак не может быть воспроизведён: %1"},
    {Say::RecognitionNotRecorded, "The session was not recorded: %1", "Занятие не записано: %1"},
    {Say::RecognitionDefaultSet, "the lesson's characters: %1", "знаки урока: %1"},
    {Say::RecognitionEnded, "The session has ended.", "Занятие окончено."},
    {Say::CourseSourceLine, "Texts: %1", "Тексты: %1"},
    {Say::CourseSourceFallback, "Texts: %1, but the lesson's characters make too few of them: groups are sent",
     "Тексты: %1, но из знаков урока их получается слишком мало: передаются группы"},
    {Say::SourceGroups, "groups", "группы"},
    {Say::SourceWords, "words", "слова"},
    {Say::SourceCallsigns, "callsigns", "позывные"},
    {Say::CourseSourceLabel, "Te&xts:", "Те&ксты:"},
    {Say::RecognitionModeLabel, "&Mode:", "&Режим:"},
    {Say::RecognitionModeCharacters, "characters", "знаки"},
    {Say::RecognitionNoWords, "No word of these characters to practise: choose more characters or the character mode.",
     "Нет слов из этих знаков: выберите больше знаков или режим знаков."},
    {Say::RecognitionWordListening, "Word %1 of %2: type it and press Enter",
     "Слово %1 из %2: наберите его и нажмите Enter"},
    {Say::RecognitionWordAnswerName, "Answer: type the word you hear and press Enter",
     "Ответ: наберите услышанное слово и нажмите Enter"},
    {Say::RecognitionWordCountLabel, "Words in the sess&ion:", "Слов в &занятии:"},
    {Say::RecognitionWordStatusIdle,
     "Press Ctrl+R to start, then type each word you hear and press Enter; Escape ends.",
     "Нажмите Ctrl+R, затем наберите каждое услышанное слово и нажмите Enter; Escape завершает."},
    {Say::CallPage, "Callsign run", "Позывные"},
    {Say::CallStartSpeedDesc,
     "The speed of the first call; each right call raises it by 10, each wrong one lowers it by 20",
     "Скорость первого позывного; верный ответ повышает её на 10, неверный понижает на 20"},
    {Say::CallNumberDesc, "The text number decides the 50 calls: the same number gives the same run",
     "Номер текста задаёт 50 позывных: тот же номер даёт тот же забег"},
    {Say::CallStartDesc, "Starts a run of 50 calls", "Начинает забег из 50 позывных"},
    {Say::CallStopDesc, "Stops the sound and ends the run without recording it",
     "Останавливает звук и прерывает забег без записи"},
    {Say::CallCopy, "&Call:", "&Позывной:"},
    {Say::CallCopyDesc, "Type the call you heard and press Enter", "Введите принятый позывной и нажмите Enter"},
    {Say::CallStatusName, "Run status", "Состояние забега"},
    {Say::CallStatusIdle, "Press Ctrl+R to start a run of 50 calls.",
     "Нажмите Ctrl+R, чтобы начать забег из 50 позывных."},
    {Say::CallFigures, "Speed %1 cpm, score %2, calls left %3", "Скорость %1 зн/мин, очки %2, осталось позывных %3"},
    {Say::CallRight, "Right: %1, %2 points", "Верно: %1, очков %2"},
    {Say::CallWrong, "Wrong: %1 was sent, you typed %2", "Неверно: передано %1, принято %2"},
    {Say::CallFinished, "The run is over: score %1, %2 of %3 calls right, top speed %4 cpm",
     "Забег окончен: очки %1, верно %2 из %3, наибольшая скорость %4 зн/мин"},
    {Say::CallNewBest, "A personal best: place %1", "Личный рекорд: место %1"},
    {Say::CallStopped, "Stopped: %1 answered, score %2; a stopped run is not recorded",
     "Остановлено: ответов %1, очки %2; прерванный забег не записывается"},
    {Say::CallBestsName, "Personal bests", "Личные рекорды"},
    {Say::CallBestsLine, "%1. %2 points, %3 right, top %4 cpm, number %5, %6",
     "%1. %2 очков, верно %3, до %4 зн/мин, номер %5, %6"},
    {Say::CallBestsNone, "No run finished yet", "Ещё нет оконченных забегов"},
    {Say::CallStartFailed, "The call cannot be played: %1", "Позывной не может быть воспроизведён: %1"},
    {Say::CallFiguresName, "Speed and score", "Скорость и очки"},
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

const ProgramTextEntry* Find(Say id) {
    const auto* it = std::lower_bound(std::begin(kTexts), std::end(kTexts), id, [](const ProgramTextEntry& e, Say key) {
        return static_cast<int>(e.id) < static_cast<int>(key);
    });
    return it == std::end(kTexts) || it->id != id ? nullptr : it;
}

} // namespace

std::string_view ProgramText(Say id, TextLanguage language) {
    const ProgramTextEntry* e = Find(id);
    if (!e) {
        return {};
    }
    return language == TextLanguage::English ? e->english : e->russian;
}

bool FollowsLanguageFile(Say id) {
    const ProgramTextEntry* e = Find(id);
    return e && !e->fixed;
}

ProgramTextTable::ProgramTextTable() {
    texts_.reserve(std::size(kTexts));
    for (const ProgramTextEntry& e : kTexts) {
        texts_.emplace_back(e.english);
    }
}

const ProgramTextTable& ProgramTextTable::English() {
    static const ProgramTextTable table;
    return table;
}

const ProgramTextTable& ProgramTextTable::Russian() {
    static const ProgramTextTable table = [] {
        ProgramTextTable t;
        for (std::size_t i = 0; i < std::size(kTexts); ++i) {
            t.texts_[i] = kTexts[i].russian;
        }
        return t;
    }();
    return table;
}

std::string_view ProgramTextTable::Text(Say id) const {
    const ProgramTextEntry* e = Find(id);
    return e ? std::string_view(texts_[static_cast<std::size_t>(e - std::begin(kTexts))]) : std::string_view();
}

bool ProgramTextTable::Set(Say id, std::string text) {
    const ProgramTextEntry* e = Find(id);
    if (!e || e->fixed) {
        return false;
    }
    texts_[static_cast<std::size_t>(e - std::begin(kTexts))] = std::move(text);
    return true;
}

std::span<const ProgramTextEntry> ProgramTexts() {
    return kTexts;
}

std::string FillText(std::string_view pattern, std::initializer_list<std::string_view> values) {
    std::string out;
    out.reserve(pattern.size());
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const auto n = static_cast<size_t>(pattern[i + 1] - '1');
            if (n < values.size()) {
                out += values.begin()[n];
                ++i;
                continue;
            }
        }
        out += pattern[i];
    }
    return out;
}

} // namespace qlor
