<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru">
    <context>
        <name>AppDelegate</name>
        <message>
            <location filename="../src/app/AppDelegate.cpp" line="+110" />
            <source>Failed to toggle launch at login</source>
            <translation>Не удалось изменить автозапуск при входе</translation>
        </message>
        <message>
            <location line="+13" />
            <source>Hourlark cannot save your data</source>
            <translation>Hourlark не может сохранить ваши данные</translation>
        </message>
        <message>
            <location line="+1" />
            <source>%1
Your changes are kept and saved as soon as this is fixed.</source>
            <translation>%1
Изменения не потеряны и будут сохранены, как только проблема будет устранена.</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Hourlark saves your data again</source>
            <translation>Hourlark снова сохраняет ваши данные</translation>
        </message>
        <message>
            <location line="+18" />
            <source>Open Timer</source>
            <translation>Открыть таймер</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Hourlark v%1</source>
            <translation>Hourlark v%1</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Launch at Login</source>
            <translation>Запускать при входе</translation>
        </message>
        <message>
            <location line="+6" />
            <source>Quit Hourlark</source>
            <translation>Выйти из Hourlark</translation>
        </message>
    </context>
    <context>
        <name>Cli</name>
        <message>
            <location filename="../src/app/TrayModule.cpp" line="+47" />
            <source>no %1 next to or below %2</source>
            <translation>нет %1 рядом с %2 или ниже</translation>
        </message>
        <message>
            <location line="+3" />
            <source>the tray program cannot be loaded: %1</source>
            <translation>не удаётся загрузить программу для панели: %1</translation>
        </message>
    </context>
    <context>
        <name>ConfirmationDialog</name>
        <message>
            <location filename="../src/ui/kit/Overlay.cpp" line="+192" />
            <source>Cancel</source>
            <translation>Отмена</translation>
        </message>
    </context>
    <context>
        <name>DaySection</name>
        <message numerus="yes">
            <location filename="../src/ui/history/DaySection.cpp" line="+123" />
            <source>%n tasks</source>
            <translation>
                <numerusform>%n задача</numerusform>
                <numerusform>%n задачи</numerusform>
                <numerusform>%n задач</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <location line="+1" />
            <source>%n completions</source>
            <translation>
                <numerusform>%n завершение</numerusform>
                <numerusform>%n завершения</numerusform>
                <numerusform>%n завершений</numerusform>
            </translation>
        </message>
        <message>
            <location line="+20" />
            <source>%1: %2, %3, total %4</source>
            <comment>day, tasks, completions, total time</comment>
            <translation>%1: %2, %3, всего %4</translation>
        </message>
        <message>
            <location line="+2" />
            <source>Shows the day's chart and tasks</source>
            <translation>Показывает диаграмму и задачи за день</translation>
        </message>
    </context>
    <context>
        <name>DurationText</name>
        <message>
            <location filename="../src/core/time/DurationText.cpp" line="+17" />
            <source>%1h %2m</source>
            <comment>hours and minutes</comment>
            <translation>%1 ч %2 мин</translation>
        </message>
        <message>
            <location line="+6" />
            <source>%1m</source>
            <comment>minutes</comment>
            <translation>%1 мин</translation>
        </message>
    </context>
    <context>
        <name>EditTaskSheet</name>
        <message>
            <location filename="../src/ui/history/EditTaskSheet.cpp" line="+76" />
            <source>Edit Task</source>
            <translation>Изменить задачу</translation>
        </message>
        <message>
            <location line="+27" />
            <source>Enter task name</source>
            <translation>Введите название задачи</translation>
        </message>
        <message>
            <location line="+2" />
            <source>Task Name</source>
            <translation>Название задачи</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Minutes</source>
            <translation>Минуты</translation>
        </message>
        <message>
            <location line="+2" />
            <source>Duration (minutes)</source>
            <translation>Длительность (минуты)</translation>
        </message>
        <message>
            <location line="+12" />
            <source>Cancel</source>
            <translation>Отмена</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Save</source>
            <translation>Сохранить</translation>
        </message>
    </context>
    <context>
        <name>HistoryFile</name>
        <message>
            <location filename="../src/core/storage/HistoryFile.cpp" line="+19" />
            <source>cannot read %1: %2</source>
            <translation>не удаётся прочитать %1: %2</translation>
        </message>
        <message>
            <location line="+6" />
            <source>%1 holds no history Hourlark can read</source>
            <translation>%1 не содержит истории, которую может прочитать Hourlark</translation>
        </message>
    </context>
    <context>
        <name>HistoryManager</name>
        <message>
            <location filename="../src/core/managers/HistoryManager.cpp" line="+227" />
            <source>Today</source>
            <translation>Сегодня</translation>
        </message>
        <message>
            <location line="+2" />
            <source>Yesterday</source>
            <translation>Вчера</translation>
        </message>
    </context>
    <context>
        <name>HistoryView</name>
        <message>
            <location filename="../src/ui/history/HistoryView.cpp" line="+48" />
            <source>No Task History Yet</source>
            <translation>История задач пока пуста</translation>
        </message>
        <message>
            <location line="+8" />
            <source>Complete tasks to see them here</source>
            <translation>Здесь появятся завершённые задачи</translation>
        </message>
    </context>
    <context>
        <name>HourlarkApp</name>
        <message>
            <location filename="../src/app/HourlarkApp.cpp" line="+38" />
            <source>Started by the session bus for a call to Hourlark's bus name: when Hourlark already runs, leave it be.</source>
            <translation>Запуск шиной сеанса для вызова по шинному имени Hourlark: если Hourlark уже запущен, он остаётся как есть.</translation>
        </message>
    </context>
    <context>
        <name>IndividualTaskRow</name>
        <message>
            <location filename="../src/ui/history/IndividualTaskRow.cpp" line="+46" />
            <source>Actions for %1 at %2</source>
            <comment>task, time of day</comment>
            <translation>Действия для %1 в %2</translation>
        </message>
        <message>
            <location line="+2" />
            <source>%1, completed at %2, %3</source>
            <comment>task, time of day, duration</comment>
            <translation>%1, завершено в %2, %3</translation>
        </message>
        <message>
            <location line="+18" />
            <location line="+13" />
            <source>Delete</source>
            <translation>Удалить</translation>
        </message>
        <message>
            <location line="-3" />
            <source>Delete this completion of '%1'?</source>
            <translation>Удалить это завершение задачи «%1»?</translation>
        </message>
        <message>
            <location line="+1" />
            <source>%1 - %2</source>
            <translation>%1 – %2</translation>
        </message>
    </context>
    <context>
        <name>MainContainerView</name>
        <message>
            <location filename="../src/ui/timer/MainContainerView.cpp" line="+18" />
            <source>Back</source>
            <translation>Назад</translation>
        </message>
        <message>
            <location line="+67" />
            <source>Task History</source>
            <translation>История задач</translation>
        </message>
    </context>
    <context>
        <name>MergedTaskRow</name>
        <message numerus="yes">
            <location filename="../src/ui/history/MergedTaskRow.cpp" line="+113" />
            <location line="+89" />
            <source>%n completions</source>
            <translation>
                <numerusform>%n завершение</numerusform>
                <numerusform>%n завершения</numerusform>
                <numerusform>%n завершений</numerusform>
            </translation>
        </message>
        <message>
            <location line="-67" />
            <source>Actions for %1</source>
            <translation>Действия для %1</translation>
        </message>
        <message>
            <location line="+13" />
            <source>Delete</source>
            <translation>Удалить</translation>
        </message>
        <message>
            <location line="+1" />
            <source>Delete All (%1)</source>
            <translation>Удалить все (%1)</translation>
        </message>
        <message>
            <location line="+46" />
            <source>%1, completed at %2, %3</source>
            <comment>task, time of day, duration</comment>
            <translation>%1, завершено в %2, %3</translation>
        </message>
        <message>
            <location line="+5" />
            <source>%1, %2, total %3</source>
            <comment>task, completions, total duration</comment>
            <translation>%1, %2, всего %3</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Lists each completion</source>
            <translation>Показывает каждое завершение</translation>
        </message>
        <message numerus="yes">
            <location line="+20" />
            <source>Delete all %n completions of '%1'?</source>
            <translation>
                <numerusform>Удалить %n завершение задачи «%1»?</numerusform>
                <numerusform>Удалить все %n завершения задачи «%1»?</numerusform>
                <numerusform>Удалить все %n завершений задачи «%1»?</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <location line="+2" />
            <source>This will delete all %n completions of this task.</source>
            <translation>
                <numerusform>Будет удалено %n завершение этой задачи.</numerusform>
                <numerusform>Будут удалены все %n завершения этой задачи.</numerusform>
                <numerusform>Будут удалены все %n завершений этой задачи.</numerusform>
            </translation>
        </message>
        <message>
            <location line="+0" />
            <source>Delete All</source>
            <translation>Удалить все</translation>
        </message>
    </context>
    <context>
        <name>SettingsView</name>
        <message>
            <location filename="../src/ui/timer/SettingsView.cpp" line="+141" />
            <source>Time remaining</source>
            <translation>Оставшееся время</translation>
        </message>
        <message>
            <location line="+18" />
            <source>Task Name</source>
            <translation>Название задачи</translation>
        </message>
        <message>
            <location line="+1" />
            <source>Enter task name</source>
            <translation>Введите название задачи</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Time (minutes)</source>
            <translation>Время (минуты)</translation>
        </message>
        <message>
            <location line="+1" />
            <source>Minutes</source>
            <translation>Минуты</translation>
        </message>
        <message>
            <location line="+15" />
            <location line="+218" />
            <source>Reset</source>
            <translation>Сбросить</translation>
        </message>
        <message>
            <location line="-216" />
            <location line="+201" />
            <location line="+15" />
            <source>Complete</source>
            <translation>Завершить</translation>
        </message>
        <message>
            <location line="-204" />
            <source>View History</source>
            <translation>Показать историю</translation>
        </message>
        <message numerus="yes">
            <location line="+14" />
            <source>%n seconds remaining</source>
            <translation>
                <numerusform>Осталась %n секунда</numerusform>
                <numerusform>Осталось %n секунды</numerusform>
                <numerusform>Осталось %n секунд</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <location line="+2" />
            <source>%n minutes remaining</source>
            <translation>
                <numerusform>Осталась %n минута</numerusform>
                <numerusform>Осталось %n минуты</numerusform>
                <numerusform>Осталось %n минут</numerusform>
            </translation>
        </message>
        <message>
            <location line="+1" />
            <source>%1 %2 remaining</source>
            <comment>minutes, then seconds</comment>
            <translation>Осталось %1 %2</translation>
        </message>
        <message numerus="yes">
            <location line="+1" />
            <source>%n minutes</source>
            <translation>
                <numerusform>%n минута</numerusform>
                <numerusform>%n минуты</numerusform>
                <numerusform>%n минут</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <location line="+0" />
            <source>%n seconds</source>
            <translation>
                <numerusform>%n секунда</numerusform>
                <numerusform>%n секунды</numerusform>
                <numerusform>%n секунд</numerusform>
            </translation>
        </message>
        <message>
            <location line="+148" />
            <location line="+38" />
            <source>Stop</source>
            <translation>Стоп</translation>
        </message>
        <message>
            <location line="-35" />
            <location line="+35" />
            <source>Start</source>
            <translation>Старт</translation>
        </message>
    </context>
    <context>
        <name>StatusWindow</name>
        <message>
            <location filename="../src/desktop/statusitem/StatusWindow.cpp" line="+19" />
            <source>Hourlark Status</source>
            <translation>Состояние Hourlark</translation>
        </message>
    </context>
    <context>
        <name>TaskPieChartView</name>
        <message>
            <location filename="../src/ui/history/TaskPieChartView.cpp" line="+56" />
            <source>No tasks for this day</source>
            <translation>В этот день задач нет</translation>
        </message>
        <message>
            <location line="+23" />
            <source>Time per task</source>
            <translation>Время по задачам</translation>
        </message>
        <message>
            <location line="+1" />
            <source>The same shares are listed below the chart.</source>
            <translation>Те же доли перечислены под диаграммой.</translation>
        </message>
        <message>
            <location line="+31" />
            <source>(%1%)</source>
            <comment>share of the day's time</comment>
            <translation>(%1 %)</translation>
        </message>
        <message>
            <location line="+7" />
            <source>%1: %2, %3%</source>
            <comment>legend entry: task, time, share</comment>
            <translation>%1: %2, %3 %</translation>
        </message>
    </context>
    <context>
        <name>TimerManager</name>
        <message>
            <location filename="../src/core/managers/TimerManager.cpp" line="+153" />
            <source>Countdown Complete!</source>
            <translation>Отсчёт завершён!</translation>
        </message>
        <message>
            <location line="+0" />
            <source>Your timer has finished.</source>
            <translation>Время таймера истекло.</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Task Completed!</source>
            <translation>Задача завершена!</translation>
        </message>
        <message>
            <location line="+0" />
            <source>%1 has been marked as complete.</source>
            <translation>Задача «%1» отмечена как завершённая.</translation>
        </message>
    </context>
    <context>
        <name>Widgets</name>
        <message>
            <location filename="../src/ui/kit/Widgets.cpp" line="+130" />
            <source>Actions</source>
            <translation>Действия</translation>
        </message>
        <message>
            <location line="+9" />
            <source>Edit</source>
            <translation>Изменить</translation>
        </message>
    </context>
</TS>
