<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
    <context>
        <name>AppDelegate</name>
        <message>
            <location filename="../src/app/AppDelegate.cpp" line="+110" />
            <source>Failed to toggle launch at login</source>
            <translation>无法切换登录时启动</translation>
        </message>
        <message>
            <location line="+13" />
            <source>Hourlark cannot save your data</source>
            <translation>Hourlark 无法保存您的数据</translation>
        </message>
        <message>
            <location line="+1" />
            <source>%1
Your changes are kept and saved as soon as this is fixed.</source>
            <translation>%1
您的更改会被保留，问题解决后将立即保存。</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Hourlark saves your data again</source>
            <translation>Hourlark 已恢复保存您的数据</translation>
        </message>
        <message>
            <location line="+18" />
            <source>Open Timer</source>
            <translation>打开计时器</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Hourlark v%1</source>
            <translation>Hourlark v%1</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Launch at Login</source>
            <translation>登录时启动</translation>
        </message>
        <message>
            <location line="+6" />
            <source>Quit Hourlark</source>
            <translation>退出 Hourlark</translation>
        </message>
    </context>
    <context>
        <name>Cli</name>
        <message>
            <location filename="../src/app/TrayModule.cpp" line="+47" />
            <source>no %1 next to or below %2</source>
            <translation>在 %2 旁边或下方没有 %1</translation>
        </message>
        <message>
            <location line="+3" />
            <source>the tray program cannot be loaded: %1</source>
            <translation>无法加载托盘程序：%1</translation>
        </message>
    </context>
    <context>
        <name>ConfirmationDialog</name>
        <message>
            <location filename="../src/ui/kit/Overlay.cpp" line="+192" />
            <source>Cancel</source>
            <translation>取消</translation>
        </message>
    </context>
    <context>
        <name>DaySection</name>
        <message numerus="yes">
            <location filename="../src/ui/history/DaySection.cpp" line="+123" />
            <source>%n tasks</source>
            <translation>
                <numerusform>%n 个任务</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <location line="+1" />
            <source>%n completions</source>
            <translation>
                <numerusform>%n 次完成</numerusform>
            </translation>
        </message>
        <message>
            <location line="+20" />
            <source>%1: %2, %3, total %4</source>
            <comment>day, tasks, completions, total time</comment>
            <translation>%1：%2，%3，共 %4</translation>
        </message>
        <message>
            <location line="+2" />
            <source>Shows the day's chart and tasks</source>
            <translation>显示当天的图表和任务</translation>
        </message>
    </context>
    <context>
        <name>DurationText</name>
        <message>
            <location filename="../src/core/time/DurationText.cpp" line="+17" />
            <source>%1h %2m</source>
            <comment>hours and minutes</comment>
            <translation>%1小时%2分钟</translation>
        </message>
        <message>
            <location line="+6" />
            <source>%1m</source>
            <comment>minutes</comment>
            <translation>%1分钟</translation>
        </message>
    </context>
    <context>
        <name>EditTaskSheet</name>
        <message>
            <location filename="../src/ui/history/EditTaskSheet.cpp" line="+76" />
            <source>Edit Task</source>
            <translation>编辑任务</translation>
        </message>
        <message>
            <location line="+27" />
            <source>Enter task name</source>
            <translation>输入任务名称</translation>
        </message>
        <message>
            <location line="+2" />
            <source>Task Name</source>
            <translation>任务名称</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Minutes</source>
            <translation>分钟</translation>
        </message>
        <message>
            <location line="+2" />
            <source>Duration (minutes)</source>
            <translation>时长（分钟）</translation>
        </message>
        <message>
            <location line="+12" />
            <source>Cancel</source>
            <translation>取消</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Save</source>
            <translation>保存</translation>
        </message>
    </context>
    <context>
        <name>HistoryFile</name>
        <message>
            <location filename="../src/core/storage/HistoryFile.cpp" line="+19" />
            <source>cannot read %1: %2</source>
            <translation>无法读取 %1：%2</translation>
        </message>
        <message>
            <location line="+6" />
            <source>%1 holds no history Hourlark can read</source>
            <translation>%1 中没有 Hourlark 可读取的历史记录</translation>
        </message>
    </context>
    <context>
        <name>HistoryManager</name>
        <message>
            <location filename="../src/core/managers/HistoryManager.cpp" line="+227" />
            <source>Today</source>
            <translation>今天</translation>
        </message>
        <message>
            <location line="+2" />
            <source>Yesterday</source>
            <translation>昨天</translation>
        </message>
    </context>
    <context>
        <name>HistoryView</name>
        <message>
            <location filename="../src/ui/history/HistoryView.cpp" line="+48" />
            <source>No Task History Yet</source>
            <translation>暂无任务历史</translation>
        </message>
        <message>
            <location line="+8" />
            <source>Complete tasks to see them here</source>
            <translation>完成的任务将显示在这里</translation>
        </message>
    </context>
    <context>
        <name>HourlarkApp</name>
        <message>
            <location filename="../src/app/HourlarkApp.cpp" line="+38" />
            <source>Started by the session bus for a call to Hourlark's bus name: when Hourlark already runs, leave it be.</source>
            <translation>由会话总线为调用 Hourlark 的总线名称而启动：如果 Hourlark 已在运行，则保持不变。</translation>
        </message>
    </context>
    <context>
        <name>IndividualTaskRow</name>
        <message>
            <location filename="../src/ui/history/IndividualTaskRow.cpp" line="+46" />
            <source>Actions for %1 at %2</source>
            <comment>task, time of day</comment>
            <translation>%1（%2）的操作</translation>
        </message>
        <message>
            <location line="+2" />
            <source>%1, completed at %2, %3</source>
            <comment>task, time of day, duration</comment>
            <translation>%1，完成于 %2，%3</translation>
        </message>
        <message>
            <location line="+18" />
            <location line="+13" />
            <source>Delete</source>
            <translation>删除</translation>
        </message>
        <message>
            <location line="-3" />
            <source>Delete this completion of '%1'?</source>
            <translation>删除“%1”的这次完成记录？</translation>
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
            <translation>返回</translation>
        </message>
        <message>
            <location line="+67" />
            <source>Task History</source>
            <translation>任务历史</translation>
        </message>
    </context>
    <context>
        <name>MergedTaskRow</name>
        <message numerus="yes">
            <location filename="../src/ui/history/MergedTaskRow.cpp" line="+113" />
            <location line="+89" />
            <source>%n completions</source>
            <translation>
                <numerusform>%n 次完成</numerusform>
            </translation>
        </message>
        <message>
            <location line="-67" />
            <source>Actions for %1</source>
            <translation>%1 的操作</translation>
        </message>
        <message>
            <location line="+13" />
            <source>Delete</source>
            <translation>删除</translation>
        </message>
        <message>
            <location line="+1" />
            <source>Delete All (%1)</source>
            <translation>全部删除（%1）</translation>
        </message>
        <message>
            <location line="+46" />
            <source>%1, completed at %2, %3</source>
            <comment>task, time of day, duration</comment>
            <translation>%1，完成于 %2，%3</translation>
        </message>
        <message>
            <location line="+5" />
            <source>%1, %2, total %3</source>
            <comment>task, completions, total duration</comment>
            <translation>%1，%2，共 %3</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Lists each completion</source>
            <translation>列出每次完成记录</translation>
        </message>
        <message numerus="yes">
            <location line="+20" />
            <source>Delete all %n completions of '%1'?</source>
            <translation>
                <numerusform>删除“%1”的全部 %n 次完成记录？</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <location line="+2" />
            <source>This will delete all %n completions of this task.</source>
            <translation>
                <numerusform>这将删除此任务的全部 %n 次完成记录。</numerusform>
            </translation>
        </message>
        <message>
            <location line="+0" />
            <source>Delete All</source>
            <translation>全部删除</translation>
        </message>
    </context>
    <context>
        <name>SettingsView</name>
        <message>
            <location filename="../src/ui/timer/SettingsView.cpp" line="+141" />
            <source>Time remaining</source>
            <translation>剩余时间</translation>
        </message>
        <message>
            <location line="+18" />
            <source>Task Name</source>
            <translation>任务名称</translation>
        </message>
        <message>
            <location line="+1" />
            <source>Enter task name</source>
            <translation>输入任务名称</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Time (minutes)</source>
            <translation>时间（分钟）</translation>
        </message>
        <message>
            <location line="+1" />
            <source>Minutes</source>
            <translation>分钟</translation>
        </message>
        <message>
            <location line="+15" />
            <location line="+218" />
            <source>Reset</source>
            <translation>重置</translation>
        </message>
        <message>
            <location line="-216" />
            <location line="+201" />
            <location line="+15" />
            <source>Complete</source>
            <translation>完成</translation>
        </message>
        <message>
            <location line="-204" />
            <source>View History</source>
            <translation>查看历史</translation>
        </message>
        <message numerus="yes">
            <location line="+14" />
            <source>%n seconds remaining</source>
            <translation>
                <numerusform>剩余 %n 秒</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <location line="+2" />
            <source>%n minutes remaining</source>
            <translation>
                <numerusform>剩余 %n 分钟</numerusform>
            </translation>
        </message>
        <message>
            <location line="+1" />
            <source>%1 %2 remaining</source>
            <comment>minutes, then seconds</comment>
            <translation>剩余 %1 %2</translation>
        </message>
        <message numerus="yes">
            <location line="+1" />
            <source>%n minutes</source>
            <translation>
                <numerusform>%n 分钟</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <location line="+0" />
            <source>%n seconds</source>
            <translation>
                <numerusform>%n 秒</numerusform>
            </translation>
        </message>
        <message>
            <location line="+148" />
            <location line="+38" />
            <source>Stop</source>
            <translation>停止</translation>
        </message>
        <message>
            <location line="-35" />
            <location line="+35" />
            <source>Start</source>
            <translation>开始</translation>
        </message>
    </context>
    <context>
        <name>StatusWindow</name>
        <message>
            <location filename="../src/desktop/statusitem/StatusWindow.cpp" line="+19" />
            <source>Hourlark Status</source>
            <translation>Hourlark 状态</translation>
        </message>
    </context>
    <context>
        <name>TaskPieChartView</name>
        <message>
            <location filename="../src/ui/history/TaskPieChartView.cpp" line="+56" />
            <source>No tasks for this day</source>
            <translation>当天没有任务</translation>
        </message>
        <message>
            <location line="+23" />
            <source>Time per task</source>
            <translation>各任务用时</translation>
        </message>
        <message>
            <location line="+1" />
            <source>The same shares are listed below the chart.</source>
            <translation>图表下方列出了相同的占比。</translation>
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
            <translation>%1：%2，%3%</translation>
        </message>
    </context>
    <context>
        <name>TimerManager</name>
        <message>
            <location filename="../src/core/managers/TimerManager.cpp" line="+153" />
            <source>Countdown Complete!</source>
            <translation>倒计时结束！</translation>
        </message>
        <message>
            <location line="+0" />
            <source>Your timer has finished.</source>
            <translation>您的计时器已结束。</translation>
        </message>
        <message>
            <location line="+4" />
            <source>Task Completed!</source>
            <translation>任务已完成！</translation>
        </message>
        <message>
            <location line="+0" />
            <source>%1 has been marked as complete.</source>
            <translation>“%1”已标记为完成。</translation>
        </message>
    </context>
    <context>
        <name>Widgets</name>
        <message>
            <location filename="../src/ui/kit/Widgets.cpp" line="+130" />
            <source>Actions</source>
            <translation>操作</translation>
        </message>
        <message>
            <location line="+9" />
            <source>Edit</source>
            <translation>编辑</translation>
        </message>
    </context>
</TS>
