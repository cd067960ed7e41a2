<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
    <context>
        <name>AppDelegate</name>
        <message>
            <location filename="../src/app/AppDelegate.cpp" line="+110" />
            <source>Failed to toggle launch at login</source>
            <translation>Impossible de modifier le lancement à l’ouverture de session</translation>
        </message>
        <message>
            <location line="+13" />
            <source>Hourlark cannot save your data</source>
            <translation>Hourlark ne peut pas enregistrer vos données</translation>
        </message>
        <message>
            <location line="+1" />
            <source>%1
Your changes are kept and saved as soon as this is fixed.</source>
            <translation>%1
Vos modifications sont conservées et seront enregistrées dès que le problème sera résolu.</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Hourlark saves your data again</source>
            <translation>Hourlark enregistre de nouveau vos données</translation>
        </message>
        <message>
            <location line="+18" />
            <source>Open Timer</source>
            <translation>Ouvrir le minuteur</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Hourlark v%1</source>
            <translation>Hourlark v%1</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Launch at Login</source>
            <translation>Lancer à l’ouverture de session</translation>
        </message>
        <message>
            <location line="+6" />
            <source>Quit Hourlark</source>
            <translation>Quitter Hourlark</translation>
        </message>
    </context>
    <context>
        <name>Cli</name>
        <message>
            <location filename="../src/app/TrayModule.cpp" line="+47" />
            <source>no %1 next to or below %2</source>
            <translation>aucun %1 à côté de %2 ni en dessous</translation>
        </message>
        <message>
            <location line="+3" />
            <source>the tray program cannot be loaded: %1</source>
            <translation>le programme de la zone de notification ne peut pas être chargé : %1</translation>
        </message>
    </context>
    <context>
        <name>ConfirmationDialog</name>
        <message>
            <location filename="../src/ui/kit/Overlay.cpp" line="+192" />
            <source>Cancel</source>
            <translation>Annuler</translation>
        </message>
    </context>
    <context>
        <name>DaySection</name>
        <message numerus="yes">
            <location filename="../src/ui/history/DaySection.cpp" line="+123" />
            <source>%n tasks</source>
            <translation>
                <numerusform>%n tâche</numerusform>
                <numerusform>%n tâches</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <location line="+1" />
            <source>%n completions</source>
            <translation>
                <numerusform>%n réalisation</numerusform>
                <numerusform>%n réalisations</numerusform>
            </translation>
        </message>
        <message>
            <location line="+20" />
            <source>%1: %2, %3, total %4</source>
            <comment>day, tasks, completions, total time</comment>
            <translation>%1 : %2, %3, total %4</translation>
        </message>
        <message>
            <location line="+2" />
            <source>Shows the day's chart and tasks</source>
            <translation>Affiche le graphique et les tâches du jour</translation>
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
            <translation>Modifier la tâche</translation>
        </message>
        <message>
            <location line="+27" />
            <source>Enter task name</source>
            <translation>Nom de la tâche</translation>
        </message>
        <message>
            <location line="+2" />
            <source>Task Name</source>
            <translation>Nom de la tâche</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Minutes</source>
            <translation>Minutes</translation>
        </message>
        <message>
            <location line="+2" />
            <source>Duration (minutes)</source>
            <translation>Durée (minutes)</translation>
        </message>
        <message>
            <location line="+12" />
            <source>Cancel</source>
            <translation>Annuler</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Save</source>
            <translation>Enregistrer</translation>
        </message>
    </context>
    <context>
        <name>HistoryFile</name>
        <message>
            <location filename="../src/core/storage/HistoryFile.cpp" line="+19" />
            <source>cannot read %1: %2</source>
            <translation>impossible de lire %1 : %2</translation>
        </message>
        <message>
            <location line="+6" />
            <source>%1 holds no history Hourlark can read</source>
            <translation>%1 ne contient aucun historique lisible par Hourlark</translation>
        </message>
    </context>
    <context>
        <name>HistoryManager</name>
        <message>
            <location filename="../src/core/managers/HistoryManager.cpp" line="+227" />
            <source>Today</source>
            <translation>Aujourd’hui</translation>
        </message>
        <message>
            <location line="+2" />
            <source>Yesterday</source>
            <translation>Hier</translation>
        </message>
    </context>
    <context>
        <name>HistoryView</name>
        <message>
            <location filename="../src/ui/history/HistoryView.cpp" line="+48" />
            <source>No Task History Yet</source>
            <translation>Pas encore d’historique</translation>
        </message>
        <message>
            <location line="+8" />
            <source>Complete tasks to see them here</source>
            <translation>Les tâches terminées s’afficheront ici</translation>
        </message>
    </context>
    <context>
        <name>HourlarkApp</name>
        <message>
            <location filename="../src/app/HourlarkApp.cpp" line="+38" />
            <source>Started by the session bus for a call to Hourlark's bus name: when Hourlark already runs, leave it be.</source>
            <translation>Lancé par le bus de session pour un appel au nom de bus de Hourlark : si Hourlark tourne déjà, il reste tel quel.</translation>
        </message>
    </context>
    <context>
        <name>IndividualTaskRow</name>
        <message>
            <location filename="../src/ui/history/IndividualTaskRow.cpp" line="+46" />
            <source>Actions for %1 at %2</source>
            <comment>task, time of day</comment>
            <translation>Actions pour %1 à %2</translation>
        </message>
        <message>
            <location line="+2" />
            <source>%1, completed at %2, %3</source>
            <comment>task, time of day, duration</comment>
            <translation>%1, terminée à %2, %3</translation>
        </message>
        <message>
            <location line="+18" />
            <location line="+13" />
            <source>Delete</source>
            <translation>Supprimer</translation>
        </message>
        <message>
            <location line="-3" />
            <source>Delete this completion of '%1'?</source>
            <translation>Supprimer cette réalisation de « %1 » ?</translation>
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
            <translation>Retour</translation>
        </message>
        <message>
            <location line="+67" />
            <source>Task History</source>
            <translation>Historique des tâches</translation>
        </message>
    </context>
    <context>
        <name>MergedTaskRow</name>
        <message numerus="yes">
            <location filename="../src/ui/history/MergedTaskRow.cpp" line="+113" />
            <location line="+89" />
            <source>%n completions</source>
            <translation>
                <numerusform>%n réalisation</numerusform>
                <numerusform>%n réalisations</numerusform>
            </translation>
        </message>
        <message>
            <location line="-67" />
            <source>Actions for %1</source>
            <translation>Actions pour %1</translation>
        </message>
        <message>
            <location line="+13" />
            <source>Delete</source>
            <translation>Supprimer</translation>
        </message>
        <message>
            <location line="+1" />
            <source>Delete All (%1)</source>
            <translation>Tout supprimer (%1)</translation>
        </message>
        <message>
            <location line="+46" />
            <source>%1, completed at %2, %3</source>
            <comment>task, time of day, duration</comment>
            <translation>%1, terminée à %2, %3</translation>
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
            <translation>Affiche chaque réalisation</translation>
        </message>
        <message numerus="yes">
            <location line="+20" />
            <source>Delete all %n completions of '%1'?</source>
            <translation>
                <numerusform>Supprimer %n réalisation de « %1 » ?</numerusform>
                <numerusform>Supprimer les %n réalisations de « %1 » ?</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <location line="+2" />
            <source>This will delete all %n completions of this task.</source>
            <translation>
                <numerusform>Cela supprimera %n réalisation de cette tâche.</numerusform>
                <numerusform>Cela supprimera les %n réalisations de cette tâche.</numerusform>
            </translation>
        </message>
        <message>
            <location line="+0" />
            <source>Delete All</source>
            <translation>Tout supprimer</translation>
        </message>
    </context>
    <context>
        <name>SettingsView</name>
        <message>
            <location filename="../src/ui/timer/SettingsView.cpp" line="+141" />
            <source>Time remaining</source>
            <translation>Temps restant</translation>
        </message>
        <message>
            <location line="+18" />
            <source>Task Name</source>
            <translation>Nom de la tâche</translation>
        </message>
        <message>
            <location line="+1" />
            <source>Enter task name</source>
            <translation>Nom de la tâche</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Time (minutes)</source>
            <translation>Durée (minutes)</translation>
        </message>
        <message>
            <location line="+1" />
            <source>Minutes</source>
            <translation>Minutes</translation>
        </message>
        <message>
            <location line="+15" />
            <location line="+218" />
            <source>Reset</source>
            <translation>Réinitialiser</translation>
        </message>
        <message>
            <location line="-216" />
            <location line="+201" />
            <location line="+15" />
            <source>Complete</source>
            <translation>Terminer</translation>
        </message>
        <message>
            <location line="-204" />
            <source>View History</source>
            <translation>Voir l’historique</translation>
        </message>
        <message numerus="yes">
            <location line="+14" />
            <source>%n seconds remaining</source>
            <translation>
                <numerusform>%n seconde restante</numerusform>
                <numerusform>%n secondes restantes</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <location line="+2" />
            <source>%n minutes remaining</source>
            <translation>
                <numerusform>%n minute restante</numerusform>
                <numerusform>%n minutes restantes</numerusform>
            </translation>
        </message>
        <message>
            <location line="+1" />
            <source>%1 %2 remaining</source>
            <comment>minutes, then seconds</comment>
            <translation>Temps restant : %1 %2</translation>
        </message>
        <message numerus="yes">
            <location line="+1" />
            <source>%n minutes</source>
            <translation>
                <numerusform>%n minute</numerusform>
                <numerusform>%n minutes</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <location line="+0" />
            <source>%n seconds</source>
            <translation>
                <numerusform>%n seconde</numerusform>
                <numerusform>%n secondes</numerusform>
            </translation>
        </message>
        <message>
            <location line="+148" />
            <location line="+38" />
            <source>Stop</source>
            <translation>Arrêter</translation>
        </message>
        <message>
            <location line="-35" />
            <location line="+35" />
            <source>Start</source>
            <translation>Démarrer</translation>
        </message>
    </context>
    <context>
        <name>StatusWindow</name>
        <message>
            <location filename="../src/desktop/statusitem/StatusWindow.cpp" line="+19" />
            <source>Hourlark Status</source>
            <translation>État de Hourlark</translation>
        </message>
    </context>
    <context>
        <name>TaskPieChartView</name>
        <message>
            <location filename="../src/ui/history/TaskPieChartView.cpp" line="+56" />
            <source>No tasks for this day</source>
            <translation>Aucune tâche ce jour-là</translation>
        </message>
        <message>
            <location line="+23" />
            <source>Time per task</source>
            <translation>Temps par tâche</translation>
        </message>
        <message>
            <location line="+1" />
            <source>The same shares are listed below the chart.</source>
            <translation>Les mêmes parts sont listées sous le graphique.</translation>
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
            <translation>%1 : %2, %3 %</translation>
        </message>
    </context>
    <context>
        <name>TimerManager</name>
        <message>
            <location filename="../src/core/managers/TimerManager.cpp" line="+153" />
            <source>Countdown Complete!</source>
            <translation>Compte à rebours terminé !</translation>
        </message>
        <message>
            <location line="+0" />
            <source>Your timer has finished.</source>
            <translation>Votre minuteur est terminé.</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Task Completed!</source>
            <translation>Tâche terminée !</translation>
        </message>
        <message>
            <location line="+0" />
            <source>%1 has been marked as complete.</source>
            <translation>« %1 » a été marquée comme terminée.</translation>
        </message>
    </context>
    <context>
        <name>Widgets</name>
        <message>
            <location filename="../src/ui/kit/Widgets.cpp" line="+130" />
            <source>Actions</source>
            <translation>Actions</translation>
        </message>
        <message>
            <location line="+9" />
            <source>Edit</source>
            <translation>Modifier</translation>
        </message>
    </context>
</TS>
