<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl">
    <context>
        <name>AppDelegate</name>
        <message>
            <location filename="../src/app/AppDelegate.cpp" line="+110" />
            <source>Failed to toggle launch at login</source>
            <translation>Nie udało się przełączyć uruchamiania przy logowaniu</translation>
        </message>
        <message>
            <location line="+13" />
            <source>Hourlark cannot save your data</source>
            <translation>Hourlark nie może zapisać danych</translation>
        </message>
        <message>
            <location line="+1" />
            <source>%1
Your changes are kept and saved as soon as this is fixed.</source>
            <translation>%1
Zmiany są zachowane i zostaną zapisane, gdy tylko problem zostanie usunięty.</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Hourlark saves your data again</source>
            <translation>Hourlark znów zapisuje dane</translation>
        </message>
        <message>
            <location line="+18" />
            <source>Open Timer</source>
            <translation>Otwórz minutnik</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Hourlark v%1</source>
            <translation>Hourlark v%1</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Launch at Login</source>
            <translation>Uruchamiaj przy logowaniu</translation>
        </message>
        <message>
            <location line="+6" />
            <source>Quit Hourlark</source>
            <translation>Zakończ Hourlark</translation>
        </message>
    </context>
    <context>
        <name>Cli</name>
        <message>
            <location filename="../src/app/TrayModule.cpp" line="+47" />
            <source>no %1 next to or below %2</source>
            <translation>brak %1 obok %2 ani poniżej</translation>
        </message>
        <message>
            <location line="+3" />
            <source>the tray program cannot be loaded: %1</source>
            <translation>nie można wczytać programu zasobnika: %1</translation>
        </message>
    </context>
    <context>
        <name>ConfirmationDialog</name>
        <message>
            <location filename="../src/ui/kit/Overlay.cpp" line="+192" />
            <source>Cancel</source>
            <translation>Anuluj</translation>
        </message>
    </context>
    <context>
        <name>DaySection</name>
        <message numerus="yes">
            <location filename="../src/ui/history/DaySection.cpp" line="+123" />
            <source>%n tasks</source>
            <translation>
                <numerusform>%n zadanie</numerusform>
                <numerusform>%n zadania</numerusform>
                <numerusform>%n zadań</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <location line="+1" />
            <source>%n completions</source>
            <translation>
                <numerusform>%n ukończenie</numerusform>
                <numerusform>%n ukończenia</numerusform>
                <numerusform>%n ukończeń</numerusform>
            </translation>
        </message>
        <message>
            <location line="+20" />
            <source>%1: %2, %3, total %4</source>
            <comment>day, tasks, completions, total time</comment>
            <translation>%1: %2, %3, łącznie %4</translation>
        </message>
        <message>
            <location line="+2" />
            <source>Shows the day's chart and tasks</source>
            <translation>Pokazuje wykres i zadania z tego dnia</translation>
        </message>
    </context>
    <context>
        <name>DurationText</name>
        <message>
            <location filename="../src/core/time/DurationText.cpp" line="+17" />
            <source>%1h %2m</source>
            <comment>hours and minutes</comment>
            <translation>%1 godz. %2 min</translation>
        </message>
        <message>
            <location line="+6" />
            <source>%1m</source>
            <comment>minutes</comment>
            <translation>%1 min</translation>
        </message>
    </context>
    <context>
        <name>EditTaskSheet</name>
        <message>
            <location filename="../src/ui/history/EditTaskSheet.cpp" line="+76" />
            <source>Edit Task</source>
            <translation>Edytuj zadanie</translation>
        </message>
        <message>
            <location line="+27" />
            <source>Enter task name</source>
            <translation>Wpisz nazwę zadania</translation>
        </message>
        <message>
            <location line="+2" />
            <source>Task Name</source>
            <translation>Nazwa zadania</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Minutes</source>
            <translation>Minuty</translation>
        </message>
        <message>
            <location line="+2" />
            <source>Duration (minutes)</source>
            <translation>Czas trwania (minuty)</translation>
        </message>
        <message>
            <location line="+12" />
            <source>Cancel</source>
            <translation>Anuluj</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Save</source>
            <translation>Zapisz</translation>
        </message>
    </context>
    <context>
        <name>HistoryFile</name>
        <message>
            <location filename="../src/core/storage/HistoryFile.cpp" line="+19" />
            <source>cannot read %1: %2</source>
            <translation>nie można odczytać %1: %2</translation>
        </message>
        <message>
            <location line="+6" />
            <source>%1 holds no history Hourlark can read</source>
            <translation>%1 nie zawiera historii, którą Hourlark potrafi odczytać</translation>
        </message>
    </context>
    <context>
        <name>HistoryManager</name>
        <message>
            <location filename="../src/core/managers/HistoryManager.cpp" line="+227" />
            <source>Today</source>
            <translation>Dzisiaj</translation>
        </message>
        <message>
            <location line="+2" />
            <source>Yesterday</source>
            <translation>Wczoraj</translation>
        </message>
    </context>
    <context>
        <name>HistoryView</name>
        <message>
            <location filename="../src/ui/history/HistoryView.cpp" line="+48" />
            <source>No Task History Yet</source>
            <translation>Brak historii zadań</translation>
        </message>
        <message>
            <location line="+8" />
            <source>Complete tasks to see them here</source>
            <translation>Tu pojawią się ukończone zadania</translation>
        </message>
    </context>
    <context>
        <name>HourlarkApp</name>
        <message>
            <location filename="../src/app/HourlarkApp.cpp" line="+38" />
            <source>Started by the session bus for a call to Hourlark's bus name: when Hourlark already runs, leave it be.</source>
            <translation>Uruchomiono przez magistralę sesji dla wywołania nazwy Hourlark na magistrali: jeśli Hourlark już działa, nic się nie zmienia.</translation>
        </message>
    </context>
    <context>
        <name>IndividualTaskRow</name>
        <message>
            <location filename="../src/ui/history/IndividualTaskRow.cpp" line="+46" />
            <source>Actions for %1 at %2</source>
            <comment>task, time of day</comment>
            <translation>Działania dla %1 o %2</translation>
        </message>
        <message>
            <location line="+2" />
            <source>%1, completed at %2, %3</source>
            <comment>task, time of day, duration</comment>
            <translation>%1, ukończono o %2, %3</translation>
        </message>
        <message>
            <location line="+18" />
            <location line="+13" />
            <source>Delete</source>
            <translation>Usuń</translation>
        </message>
        <message>
            <location line="-3" />
            <source>Delete this completion of '%1'?</source>
            <translation>Usunąć to ukończenie zadania „%1”?</translation>
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
            <translation>Wstecz</translation>
        </message>
        <message>
            <location line="+67" />
            <source>Task History</source>
            <translation>Historia zadań</translation>
        </message>
    </context>
    <context>
        <name>MergedTaskRow</name>
        <message numerus="yes">
            <location filename="../src/ui/history/MergedTaskRow.cpp" line="+113" />
            <location line="+89" />
            <source>%n completions</source>
            <translation>
                <numerusform>%n ukończenie</numerusform>
                <numerusform>%n ukończenia</numerusform>
                <numerusform>%n ukończeń</numerusform>
            </translation>
        </message>
        <message>
            <location line="-67" />
            <source>Actions for %1</source>
            <translation>Działania dla %1</translation>
        </message>
        <message>
            <location line="+13" />
            <source>Delete</source>
            <translation>Usuń</translation>
        </message>
        <message>
            <location line="+1" />
            <source>Delete All (%1)</source>
            <translation>Usuń wszystkie (%1)</translation>
        </message>
        <message>
            <location line="+46" />
            <source>%1, completed at %2, %3</source>
            <comment>task, time of day, duration</comment>
            <translation>%1, ukończono o %2, %3</translation>
        </message>
        <message>
            <location line="+5" />
            <source>%1, %2, total %3</source>
            <comment>task, completions, total duration</comment>
            <translation>%1, %2, łącznie %3</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Lists each completion</source>
            <translation>Pokazuje każde ukończenie</translation>
        </message>
        <message numerus="yes">
            <location line="+20" />
            <source>Delete all %n completions of '%1'?</source>
            <translation>
                <numerusform>Usunąć %n ukończenie zadania „%1”?</numerusform>
                <numerusform>Usunąć wszystkie %n ukończenia zadania „%1”?</numerusform>
                <numerusform>Usunąć wszystkie %n ukończeń zadania „%1”?</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <location line="+2" />
            <source>This will delete all %n completions of this task.</source>
            <translation>
                <numerusform>Zostanie usunięte %n ukończenie tego zadania.</numerusform>
                <numerusform>Zostaną usunięte wszystkie %n ukończenia tego zadania.</numerusform>
                <numerusform>Zostanie usuniętych wszystkich %n ukończeń tego zadania.</numerusform>
            </translation>
        </message>
        <message>
            <location line="+0" />
            <source>Delete All</source>
            <translation>Usuń wszystkie</translation>
        </message>
    </context>
    <context>
        <name>SettingsView</name>
        <message>
            <location filename="../src/ui/timer/SettingsView.cpp" line="+141" />
            <source>Time remaining</source>
            <translation>Pozostały czas</translation>
        </message>
        <message>
            <location line="+18" />
            <source>Task Name</source>
            <translation>Nazwa zadania</translation>
        </message>
        <message>
            <location line="+1" />
            <source>Enter task name</source>
            <translation>Wpisz nazwę zadania</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Time (minutes)</source>
            <translation>Czas (minuty)</translation>
        </message>
        <message>
            <location line="+1" />
            <source>Minutes</source>
            <translation>Minuty</translation>
        </message>
        <message>
            <location line="+15" />
            <location line="+218" />
            <source>Reset</source>
            <translation>Resetuj</translation>
        </message>
        <message>
            <location line="-216" />
            <location line="+201" />
            <location line="+15" />
            <source>Complete</source>
            <translation>Zakończ</translation>
        </message>
        <message>
            <location line="-204" />
            <source>View History</source>
            <translation>Pokaż historię</translation>
        </message>
        <message numerus="yes">
            <location line="+14" />
            <source>%n seconds remaining</source>
            <translation>
                <numerusform>Pozostała %n sekunda</numerusform>
                <numerusform>Pozostały %n sekundy</numerusform>
                <numerusform>Pozostało %n sekund</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <location line="+2" />
            <source>%n minutes remaining</source>
            <translation>
                <numerusform>Pozostała %n minuta</numerusform>
                <numerusform>Pozostały %n minuty</numerusform>
                <numerusform>Pozostało %n minut</numerusform>
            </translation>
        </message>
        <message>
            <location line="+1" />
            <source>%1 %2 remaining</source>
            <comment>minutes, then seconds</comment>
            <translation>Pozostało %1 %2</translation>
        </message>
        <message numerus="yes">
            <location line="+1" />
            <source>%n minutes</source>
            <translation>
                <numerusform>%n minuta</numerusform>
                <numerusform>%n minuty</numerusform>
                <numerusform>%n minut</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <location line="+0" />
            <source>%n seconds</source>
            <translation>
                <numerusform>%n sekunda</numerusform>
                <numerusform>%n sekundy</numerusform>
                <numerusform>%n sekund</numerusform>
            </translation>
        </message>
        <message>
            <location line="+148" />
            <location line="+38" />
            <source>Stop</source>
            <translation>Zatrzymaj</translation>
        </message>
        <message>
            <location line="-35" />
            <location line="+35" />
            <source>Start</source>
            <translation>Start</translation>
        </message>
    </context>
    <context>
        <name>StatusWindow</name>
        <message>
            <location filename="../src/desktop/statusitem/StatusWindow.cpp" line="+19" />
            <source>Hourlark Status</source>
            <translation>Stan Hourlark</translation>
        </message>
    </context>
    <context>
        <name>TaskPieChartView</name>
        <message>
            <location filename="../src/ui/history/TaskPieChartView.cpp" line="+56" />
            <source>No tasks for this day</source>
            <translation>Brak zadań tego dnia</translation>
        </message>
        <message>
            <location line="+23" />
            <source>Time per task</source>
            <translation>Czas według zadań</translation>
        </message>
        <message>
            <location line="+1" />
            <source>The same shares are listed below the chart.</source>
            <translation>Te same udziały są wymienione pod wykresem.</translation>
        </message>
        <message>
            <location line="+31" />
            <source>(%1%)</source>
            <comment>share of the day's time</comment>
            <translation>(%1%)</translation>
        </message>
        <message>
            <location line="+7" />
            <source>%1: %2, %3%</source>
            <comment>legend entry: task, time, share</comment>
            <translation>%1: %2, %3%</translation>
        </message>
    </context>
    <context>
        <name>TimerManager</name>
        <message>
            <location filename="../src/core/managers/TimerManager.cpp" line="+153" />
            <source>Countdown Complete!</source>
            <translation>Odliczanie zakończone!</translation>
        </message>
        <message>
            <location line="+0" />
            <source>Your timer has finished.</source>
            <translation>Minutnik skończył odliczanie.</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Task Completed!</source>
            <translation>Zadanie ukończone!</translation>
        </message>
        <message>
            <location line="+0" />
            <source>%1 has been marked as complete.</source>
            <translation>Zadanie „%1” oznaczono jako ukończone.</translation>
        </message>
    </context>
    <context>
        <name>Widgets</name>
        <message>
            <location filename="../src/ui/kit/Widgets.cpp" line="+130" />
            <source>Actions</source>
            <translation>Działania</translation>
        </message>
        <message>
            <location line="+9" />
            <source>Edit</source>
            <translation>Edytuj</translation>
        </message>
    </context>
</TS>
