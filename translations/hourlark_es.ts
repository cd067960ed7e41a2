<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
    <context>
        <name>AppDelegate</name>
        <message>
            <location filename="../src/app/AppDelegate.cpp" line="+110" />
            <source>Failed to toggle launch at login</source>
            <translation>No se pudo cambiar el inicio al iniciar sesión</translation>
        </message>
        <message>
            <location line="+13" />
            <source>Hourlark cannot save your data</source>
            <translation>Hourlark no puede guardar sus datos</translation>
        </message>
        <message>
            <location line="+1" />
            <source>%1
Your changes are kept and saved as soon as this is fixed.</source>
            <translation>%1
Sus cambios se conservan y se guardarán en cuanto se solucione.</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Hourlark saves your data again</source>
            <translation>Hourlark vuelve a guardar sus datos</translation>
        </message>
        <message>
            <location line="+18" />
            <source>Open Timer</source>
            <translation>Abrir temporizador</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Hourlark v%1</source>
            <translation>Hourlark v%1</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Launch at Login</source>
            <translation>Abrir al iniciar sesión</translation>
        </message>
        <message>
            <location line="+6" />
            <source>Quit Hourlark</source>
            <translation>Salir de Hourlark</translation>
        </message>
    </context>
    <context>
        <name>Cli</name>
        <message>
            <location filename="../src/app/TrayModule.cpp" line="+47" />
            <source>no %1 next to or below %2</source>
            <translation>no hay %1 junto a %2 ni debajo</translation>
        </message>
        <message>
            <location line="+3" />
            <source>the tray program cannot be loaded: %1</source>
            <translation>no se puede cargar el programa de la bandeja: %1</translation>
        </message>
    </context>
    <context>
        <name>ConfirmationDialog</name>
        <message>
            <location filename="../src/ui/kit/Overlay.cpp" line="+192" />
            <source>Cancel</source>
            <translation>Cancelar</translation>
        </message>
    </context>
    <context>
        <name>DaySection</name>
        <message numerus="yes">
            <location filename="../src/ui/history/DaySection.cpp" line="+123" />
            <source>%n tasks</source>
            <translation>
                <numerusform>%n tarea</numerusform>
                <numerusform>%n tareas</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <location line="+1" />
            <source>%n completions</source>
            <translation>
                <numerusform>%n finalización</numerusform>
                <numerusform>%n finalizaciones</numerusform>
            </translation>
        </message>
        <message>
            <location line="+20" />
            <source>%1: %2, %3, total %4</source>
            <comment>day, tasks, completions, total time</comment>
            <translation>%1: %2, %3, total %4</translation>
        </message>
        <message>
            <location line="+2" />
            <source>Shows the day's chart and tasks</source>
            <translation>Muestra el gráfico y las tareas del día</translation>
        </message>
    </context>
    <context>
        <name>DurationText</name>
        <message>
            <location filename="../src/core/time/DurationText.cpp" line="+17" />
            <source>%1h %2m</source>
            <comment>hours and minutes</comment>
            <translation>%1 h %2 min</translation>
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
            <translation>Editar tarea</translation>
        </message>
        <message>
            <location line="+27" />
            <source>Enter task name</source>
            <translation>Nombre de la tarea</translation>
        </message>
        <message>
            <location line="+2" />
            <source>Task Name</source>
            <translation>Nombre de la tarea</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Minutes</source>
            <translation>Minutos</translation>
        </message>
        <message>
            <location line="+2" />
            <source>Duration (minutes)</source>
            <translation>Duración (minutos)</translation>
        </message>
        <message>
            <location line="+12" />
            <source>Cancel</source>
            <translation>Cancelar</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Save</source>
            <translation>Guardar</translation>
        </message>
    </context>
    <context>
        <name>HistoryFile</name>
        <message>
            <location filename="../src/core/storage/HistoryFile.cpp" line="+19" />
            <source>cannot read %1: %2</source>
            <translation>no se puede leer %1: %2</translation>
        </message>
        <message>
            <location line="+6" />
            <source>%1 holds no history Hourlark can read</source>
            <translation>%1 no contiene un historial que Hourlark pueda leer</translation>
        </message>
    </context>
    <context>
        <name>HistoryManager</name>
        <message>
            <location filename="../src/core/managers/HistoryManager.cpp" line="+227" />
            <source>Today</source>
            <translation>Hoy</translation>
        </message>
        <message>
            <location line="+2" />
            <source>Yesterday</source>
            <translation>Ayer</translation>
        </message>
    </context>
    <context>
        <name>HistoryView</name>
        <message>
            <location filename="../src/ui/history/HistoryView.cpp" line="+48" />
            <source>No Task History Yet</source>
            <translation>Aún no hay historial de tareas</translation>
        </message>
        <message>
            <location line="+8" />
            <source>Complete tasks to see them here</source>
            <translation>Las tareas completadas aparecerán aquí</translation>
        </message>
    </context>
    <context>
        <name>HourlarkApp</name>
        <message>
            <location filename="../src/app/HourlarkApp.cpp" line="+38" />
            <source>Started by the session bus for a call to Hourlark's bus name: when Hourlark already runs, leave it be.</source>
            <translation>Iniciado por el bus de sesión para una llamada al nombre de bus de Hourlark: si Hourlark ya se está ejecutando, se deja como está.</translation>
        </message>
    </context>
    <context>
        <name>IndividualTaskRow</name>
        <message>
            <location filename="../src/ui/history/IndividualTaskRow.cpp" line="+46" />
            <source>Actions for %1 at %2</source>
            <comment>task, time of day</comment>
            <translation>Acciones para %1 a las %2</translation>
        </message>
        <message>
            <location line="+2" />
            <source>%1, completed at %2, %3</source>
            <comment>task, time of day, duration</comment>
            <translation>%1, completada a las %2, %3</translation>
        </message>
        <message>
            <location line="+18" />
            <location line="+13" />
            <source>Delete</source>
            <translation>Eliminar</translation>
        </message>
        <message>
            <location line="-3" />
            <source>Delete this completion of '%1'?</source>
            <translation>¿Eliminar esta finalización de «%1»?</translation>
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
            <translation>Atrás</translation>
        </message>
        <message>
            <location line="+67" />
            <source>Task History</source>
            <translation>Historial de tareas</translation>
        </message>
    </context>
    <context>
        <name>MergedTaskRow</name>
        <message numerus="yes">
            <location filename="../src/ui/history/MergedTaskRow.cpp" line="+113" />
            <location line="+89" />
            <source>%n completions</source>
            <translation>
                <numerusform>%n finalización</numerusform>
                <numerusform>%n finalizaciones</numerusform>
            </translation>
        </message>
        <message>
            <location line="-67" />
            <source>Actions for %1</source>
            <translation>Acciones para %1</translation>
        </message>
        <message>
            <location line="+13" />
            <source>Delete</source>
            <translation>Eliminar</translation>
        </message>
        <message>
            <location line="+1" />
            <source>Delete All (%1)</source>
            <translation>Eliminar todas (%1)</translation>
        </message>
        <message>
            <location line="+46" />
            <source>%1, completed at %2, %3</source>
            <comment>task, time of day, duration</comment>
            <translation>%1, completada a las %2, %3</translation>
        </message>
        <message>
            <location line="+5" />
            <source>%1, %2, total %3</source>
            <comment>task, completions, total duration</comment>
            <translation>%1, %2, total %3</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Lists each completion</source>
            <translation>Muestra cada finalización</translation>
        </message>
        <message numerus="yes">
            <location line="+20" />
            <source>Delete all %n completions of '%1'?</source>
            <translation>
                <numerusform>¿Eliminar %n finalización de «%1»?</numerusform>
                <numerusform>¿Eliminar las %n finalizaciones de «%1»?</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <location line="+2" />
            <source>This will delete all %n completions of this task.</source>
            <translation>
                <numerusform>Se eliminará %n finalización de esta tarea.</numerusform>
                <numerusform>Se eliminarán las %n finalizaciones de esta tarea.</numerusform>
            </translation>
        </message>
        <message>
            <location line="+0" />
            <source>Delete All</source>
            <translation>Eliminar todas</translation>
        </message>
    </context>
    <context>
        <name>SettingsView</name>
        <message>
            <location filename="../src/ui/timer/SettingsView.cpp" line="+141" />
            <source>Time remaining</source>
            <translation>Tiempo restante</translation>
        </message>
        <message>
            <location line="+18" />
            <source>Task Name</source>
            <translation>Nombre de la tarea</translation>
        </message>
        <message>
            <location line="+1" />
            <source>Enter task name</source>
            <translation>Nombre de la tarea</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Time (minutes)</source>
            <translation>Tiempo (minutos)</translation>
        </message>
        <message>
            <location line="+1" />
            <source>Minutes</source>
            <translation>Minutos</translation>
        </message>
        <message>
            <location line="+15" />
            <location line="+218" />
            <source>Reset</source>
            <translation>Restablecer</translation>
        </message>
        <message>
            <location line="-216" />
            <location line="+201" />
            <location line="+15" />
            <source>Complete</source>
            <translation>Completar</translation>
        </message>
        <message>
            <location line="-204" />
            <source>View History</source>
            <translation>Ver historial</translation>
        </message>
        <message numerus="yes">
            <location line="+14" />
            <source>%n seconds remaining</source>
            <translation>
                <numerusform>Queda %n segundo</numerusform>
                <numerusform>Quedan %n segundos</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <location line="+2" />
            <source>%n minutes remaining</source>
            <translation>
                <numerusform>Queda %n minuto</numerusform>
                <numerusform>Quedan %n minutos</numerusform>
            </translation>
        </message>
        <message>
            <location line="+1" />
            <source>%1 %2 remaining</source>
            <comment>minutes, then seconds</comment>
            <translation>Quedan %1 %2</translation>
        </message>
        <message numerus="yes">
            <location line="+1" />
            <source>%n minutes</source>
            <translation>
                <numerusform>%n minuto</numerusform>
                <numerusform>%n minutos</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <location line="+0" />
            <source>%n seconds</source>
            <translation>
                <numerusform>%n segundo</numerusform>
                <numerusform>%n segundos</numerusform>
            </translation>
        </message>
        <message>
            <location line="+148" />
            <location line="+38" />
            <source>Stop</source>
            <translation>Detener</translation>
        </message>
        <message>
            <location line="-35" />
            <location line="+35" />
            <source>Start</source>
            <translation>Iniciar</translation>
        </message>
    </context>
    <context>
        <name>StatusWindow</name>
        <message>
            <location filename="../src/desktop/statusitem/StatusWindow.cpp" line="+19" />
            <source>Hourlark Status</source>
            <translation>Estado de Hourlark</translation>
        </message>
    </context>
    <context>
        <name>TaskPieChartView</name>
        <message>
            <location filename="../src/ui/history/TaskPieChartView.cpp" line="+56" />
            <source>No tasks for this day</source>
            <translation>No hay tareas este día</translation>
        </message>
        <message>
            <location line="+23" />
            <source>Time per task</source>
            <translation>Tiempo por tarea</translation>
        </message>
        <message>
            <location line="+1" />
            <source>The same shares are listed below the chart.</source>
            <translation>Las mismas proporciones aparecen bajo el gráfico.</translation>
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
            <translation>¡Cuenta atrás completada!</translation>
        </message>
        <message>
            <location line="+0" />
            <source>Your timer has finished.</source>
            <translation>Su temporizador ha terminado.</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Task Completed!</source>
            <translation>¡Tarea completada!</translation>
        </message>
        <message>
            <location line="+0" />
            <source>%1 has been marked as complete.</source>
            <translation>«%1» se ha marcado como completada.</translation>
        </message>
    </context>
    <context>
        <name>Widgets</name>
        <message>
            <location filename="../src/ui/kit/Widgets.cpp" line="+130" />
            <source>Actions</source>
            <translation>Acciones</translation>
        </message>
        <message>
            <location line="+9" />
            <source>Edit</source>
            <translation>Editar</translation>
        </message>
    </context>
</TS>
