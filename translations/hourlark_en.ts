<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
    <context>
        <name>DaySection</name>
        <message numerus="yes">
            <location filename="../src/ui/history/DaySection.cpp" line="+123" />
            <source>%n tasks</source>
            <translation>
                <numerusform>%n task</numerusform>
                <numerusform>%n tasks</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <location line="+1" />
            <source>%n completions</source>
            <translation>
                <numerusform>%n completion</numerusform>
                <numerusform>%n completions</numerusform>
            </translation>
        </message>
    </context>
    <context>
        <name>MergedTaskRow</name>
        <message numerus="yes">
            <location filename="../src/ui/history/MergedTaskRow.cpp" line="+113" />
            <location line="+89" />
            <source>%n completions</source>
            <translation>
                <numerusform>%n completion</numerusform>
                <numerusform>%n completions</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <location line="+22" />
            <source>Delete all %n completions of '%1'?</source>
            <translation>
                <numerusform>Delete all %n completions of '%1'?</numerusform>
                <numerusform>Delete all %n completions of '%1'?</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <location line="+2" />
            <source>This will delete all %n completions of this task.</source>
            <translation>
                <numerusform>This will delete all %n completions of this task.</numerusform>
                <numerusform>This will delete all %n completions of this task.</numerusform>
            </translation>
        </message>
    </context>
    <context>
        <name>SettingsView</name>
        <message numerus="yes">
            <location filename="../src/ui/timer/SettingsView.cpp" line="+208" />
            <source>%n seconds remaining</source>
            <translation>
                <numerusform>%n second remaining</numerusform>
                <numerusform>%n seconds remaining</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <location line="+2" />
            <source>%n minutes remaining</source>
            <translation>
                <numerusform>%n minute remaining</numerusform>
                <numerusform>%n minutes remaining</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <location line="+2" />
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
                <numerusform>%n second</numerusform>
                <numerusform>%n seconds</numerusform>
            </translation>
        </message>
    </context>
</TS>
