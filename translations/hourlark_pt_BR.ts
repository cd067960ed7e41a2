<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR">
    <context>
        <name>AppDelegate</name>
        <message>
            <location filename="../src/app/AppDelegate.cpp" line="+110" />
            <source>Failed to toggle launch at login</source>
            <translation>Não foi possível alterar a inicialização com a sessão</translation>
        </message>
        <message>
            <location line="+13" />
            <source>Hourlark cannot save your data</source>
            <translation>O Hourlark não consegue salvar seus dados</translation>
        </message>
        <message>
            <location line="+1" />
            <source>%1
Your changes are kept and saved as soon as this is fixed.</source>
            <translation>%1
Suas alterações são mantidas e serão salvas assim que isso for resolvido.</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Hourlark saves your data again</source>
            <translation>O Hourlark voltou a salvar seus dados</translation>
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
            <translation>Abrir ao iniciar a sessão</translation>
        </message>
        <message>
            <location line="+6" />
            <source>Quit Hourlark</source>
            <translation>Sair do Hourlark</translation>
        </message>
    </context>
    <context>
        <name>Cli</name>
        <message>
            <location filename="../src/app/TrayModule.cpp" line="+47" />
            <source>no %1 next to or below %2</source>
            <translation>nenhum %1 ao lado de %2 nem abaixo</translation>
        </message>
        <message>
            <location line="+3" />
            <source>the tray program cannot be loaded: %1</source>
            <translation>não foi possível carregar o programa da bandeja: %1</translation>
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
                <numerusform>%n tarefa</numerusform>
                <numerusform>%n tarefas</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <location line="+1" />
            <source>%n completions</source>
            <translation>
                <numerusform>%n conclusão</numerusform>
                <numerusform>%n conclusões</numerusform>
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
            <translation>Mostra o gráfico e as tarefas do dia</translation>
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
            <translation>Editar tarefa</translation>
        </message>
        <message>
            <location line="+27" />
            <source>Enter task name</source>
            <translation>Nome da tarefa</translation>
        </message>
        <message>
            <location line="+2" />
            <source>Task Name</source>
            <translation>Nome da tarefa</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Minutes</source>
            <translation>Minutos</translation>
        </message>
        <message>
            <location line="+2" />
            <source>Duration (minutes)</source>
            <translation>Duração (minutos)</translation>
        </message>
        <message>
            <location line="+12" />
            <source>Cancel</source>
            <translation>Cancelar</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Save</source>
            <translation>Salvar</translation>
        </message>
    </context>
    <context>
        <name>HistoryFile</name>
        <message>
            <location filename="../src/core/storage/HistoryFile.cpp" line="+19" />
            <source>cannot read %1: %2</source>
            <translation>não foi possível ler %1: %2</translation>
        </message>
        <message>
            <location line="+6" />
            <source>%1 holds no history Hourlark can read</source>
            <translation>%1 não contém um histórico que o Hourlark consiga ler</translation>
        </message>
    </context>
    <context>
        <name>HistoryManager</name>
        <message>
            <location filename="../src/core/managers/HistoryManager.cpp" line="+227" />
            <source>Today</source>
            <translation>Hoje</translation>
        </message>
        <message>
            <location line="+2" />
            <source>Yesterday</source>
            <translation>Ontem</translation>
        </message>
    </context>
    <context>
        <name>HistoryView</name>
        <message>
            <location filename="../src/ui/history/HistoryView.cpp" line="+48" />
            <source>No Task History Yet</source>
            <translation>Ainda não há histórico de tarefas</translation>
        </message>
        <message>
            <location line="+8" />
            <source>Complete tasks to see them here</source>
            <translation>As tarefas concluídas aparecerão aqui</translation>
        </message>
    </context>
    <context>
        <name>HourlarkApp</name>
        <message>
            <location filename="../src/app/HourlarkApp.cpp" line="+38" />
            <source>Started by the session bus for a call to Hourlark's bus name: when Hourlark already runs, leave it be.</source>
            <translation>Iniciado pelo barramento de sessão para uma chamada ao nome de barramento do Hourlark: se o Hourlark já estiver em execução, nada muda.</translation>
        </message>
    </context>
    <context>
        <name>IndividualTaskRow</name>
        <message>
            <location filename="../src/ui/history/IndividualTaskRow.cpp" line="+46" />
            <source>Actions for %1 at %2</source>
            <comment>task, time of day</comment>
            <translation>Ações para %1 às %2</translation>
        </message>
        <message>
            <location line="+2" />
            <source>%1, completed at %2, %3</source>
            <comment>task, time of day, duration</comment>
            <translation>%1, concluída às %2, %3</translation>
        </message>
        <message>
            <location line="+18" />
            <location line="+13" />
            <source>Delete</source>
            <translation>Excluir</translation>
        </message>
        <message>
            <location line="-3" />
            <source>Delete this completion of '%1'?</source>
            <translation>Excluir esta conclusão de “%1”?</translation>
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
            <translation>Voltar</translation>
        </message>
        <message>
            <location line="+67" />
            <source>Task History</source>
            <translation>Histórico de tarefas</translation>
        </message>
    </context>
    <context>
        <name>MergedTaskRow</name>
        <message numerus="yes">
            <location filename="../src/ui/history/MergedTaskRow.cpp" line="+113" />
            <location line="+89" />
            <source>%n completions</source>
            <translation>
                <numerusform>%n conclusão</numerusform>
                <numerusform>%n conclusões</numerusform>
            </translation>
        </message>
        <message>
            <location line="-67" />
            <source>Actions for %1</source>
            <translation>Ações para %1</translation>
        </message>
        <message>
            <location line="+13" />
            <source>Delete</source>
            <translation>Excluir</translation>
        </message>
        <message>
            <location line="+1" />
            <source>Delete All (%1)</source>
            <translation>Excluir todas (%1)</translation>
        </message>
        <message>
            <location line="+46" />
            <source>%1, completed at %2, %3</source>
            <comment>task, time of day, duration</comment>
            <translation>%1, concluída às %2, %3</translation>
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
            <translation>Lista cada conclusão</translation>
        </message>
        <message numerus="yes">
            <location line="+20" />
            <source>Delete all %n completions of '%1'?</source>
            <translation>
                <numerusform>Excluir %n conclusão de “%1”?</numerusform>
                <numerusform>Excluir todas as %n conclusões de “%1”?</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <location line="+2" />
            <source>This will delete all %n completions of this task.</source>
            <translation>
                <numerusform>Isso excluirá %n conclusão desta tarefa.</numerusform>
                <numerusform>Isso excluirá todas as %n conclusões desta tarefa.</numerusform>
            </translation>
        </message>
        <message>
            <location line="+0" />
            <source>Delete All</source>
            <translation>Excluir todas</translation>
        </message>
    </context>
    <context>
        <name>SettingsView</name>
        <message>
            <location filename="../src/ui/timer/SettingsView.cpp" line="+141" />
            <source>Time remaining</source>
            <translation>Tempo restante</translation>
        </message>
        <message>
            <location line="+18" />
            <source>Task Name</source>
            <translation>Nome da tarefa</translation>
        </message>
        <message>
            <location line="+1" />
            <source>Enter task name</source>
            <translation>Nome da tarefa</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Time (minutes)</source>
            <translation>Tempo (minutos)</translation>
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
            <translation>Redefinir</translation>
        </message>
        <message>
            <location line="-216" />
            <location line="+201" />
            <location line="+15" />
            <source>Complete</source>
            <translation>Concluir</translation>
        </message>
        <message>
            <location line="-204" />
            <source>View History</source>
            <translation>Ver histórico</translation>
        </message>
        <message numerus="yes">
            <location line="+14" />
            <source>%n seconds remaining</source>
            <translation>
                <numerusform>Resta %n segundo</numerusform>
                <numerusform>Restam %n segundos</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <location line="+2" />
            <source>%n minutes remaining</source>
            <translation>
                <numerusform>Resta %n minuto</numerusform>
                <numerusform>Restam %n minutos</numerusform>
            </translation>
        </message>
        <message>
            <location line="+1" />
            <source>%1 %2 remaining</source>
            <comment>minutes, then seconds</comment>
            <translation>Restam %1 %2</translation>
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
            <translation>Parar</translation>
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
            <translation>Status do Hourlark</translation>
        </message>
    </context>
    <context>
        <name>TaskPieChartView</name>
        <message>
            <location filename="../src/ui/history/TaskPieChartView.cpp" line="+56" />
            <source>No tasks for this day</source>
            <translation>Nenhuma tarefa neste dia</translation>
        </message>
        <message>
            <location line="+23" />
            <source>Time per task</source>
            <translation>Tempo por tarefa</translation>
        </message>
        <message>
            <location line="+1" />
            <source>The same shares are listed below the chart.</source>
            <translation>As mesmas proporções aparecem abaixo do gráfico.</translation>
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
            <translation>Contagem regressiva concluída!</translation>
        </message>
        <message>
            <location line="+0" />
            <source>Your timer has finished.</source>
            <translation>Seu temporizador terminou.</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Task Completed!</source>
            <translation>Tarefa concluída!</translation>
        </message>
        <message>
            <location line="+0" />
            <source>%1 has been marked as complete.</source>
            <translation>“%1” foi marcada como concluída.</translation>
        </message>
    </context>
    <context>
        <name>Widgets</name>
        <message>
            <location filename="../src/ui/kit/Widgets.cpp" line="+130" />
            <source>Actions</source>
            <translation>Ações</translation>
        </message>
        <message>
            <location line="+9" />
            <source>Edit</source>
            <translation>Editar</translation>
        </message>
    </context>
</TS>
