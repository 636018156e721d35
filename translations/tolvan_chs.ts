<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>Tolvan</name>
    <message>
        <source>Show</source>
        <translation>显示</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>tolvan series key change</source>
        <translation>tolvan 系列改键</translation>
    </message>
    <message>
        <source>&lt;h2&gt;tolvan 1.9&lt;/h2&gt;&lt;p&gt;Copyright &amp;copy; 2026 the tolvan developers.&lt;/p&gt;&lt;p&gt;Questions and ideas are welcome in the &lt;a href=&quot;https://forum.tolvan.example/&quot;&gt;tolvan forum&lt;/a&gt;.&lt;/p&gt;</source>
        <translation>&lt;h2&gt;tolvan 1.9&lt;/h2&gt;&lt;p&gt;版权所有 &amp;copy; 2026 tolvan 开发者。&lt;/p&gt;&lt;p&gt;欢迎到 &lt;a href=&quot;https://forum.tolvan.example/&quot;&gt;tolvan 论坛&lt;/a&gt;提问和提建议。&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Advance&lt;&lt;</source>
        <translation>高级设定&lt;&lt;</translation>
    </message>
    <message>
        <source>Advance&gt;&gt;</source>
        <translation>高级设定&gt;&gt;</translation>
    </message>
    <message>
        <source>dll error</source>
        <translation>动态库错误</translation>
    </message>
    <message>
        <source>%1</source>
        <translation>%1</translation>
    </message>
    <message>
        <source>error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>The hook library cannot start the key change:
%1</source>
        <translation>钩子库无法开始改键：
%1</translation>
    </message>
    <message>
        <source>a error happen when cancel a hook</source>
        <translation>取消钩子时发生错误</translation>
    </message>
    <message>
        <source>running</source>
        <translation>已改键</translation>
    </message>
    <message>
        <source>unrunning</source>
        <translation>未改键</translation>
    </message>
    <message>
        <source>new</source>
        <translation>新建</translation>
    </message>
    <message>
        <source>edit</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>too many</source>
        <translation>太多了</translation>
    </message>
    <message>
        <source>god, do you have so many?</source>
        <translation>天哪，你要这么多吗？</translation>
    </message>
    <message>
        <source>tip</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>no item has been deleted</source>
        <translation>没有删除任何一项</translation>
    </message>
    <message>
        <source>%1 - tolvan key change</source>
        <translation>%1 - tolvan 改键</translation>
    </message>
    <message>
        <source>%1         ----&gt;         %2</source>
        <translation>%1         ----&gt;         %2</translation>
    </message>
    <message>
        <source>Cannot write file tolvan:
%1.</source>
        <translation>无法写入文件 tolvan：
%1。</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>application alreally run!</source>
        <translation>程序已经在运行！</translation>
    </message>
    <message>
        <source>file type does not match</source>
        <translation>文件类型不匹配</translation>
    </message>
    <message>
        <source>Version does not match</source>
        <translation>版本不匹配</translation>
    </message>
    <message>
        <source>xml parse error at%1row%2col:
%3。</source>
        <translation>xml 解析错误，位于第%1行第%2列：
%3。</translation>
    </message>
    <message>
        <source>file error</source>
        <translation>文件错误</translation>
    </message>
</context>
<context>
    <name>MyLineEdit</name>
    <message>
        <source>F%1</source>
        <translation>F%1</translation>
    </message>
    <message>
        <source>sorry</source>
        <translation>抱歉</translation>
    </message>
    <message>
        <source>we don't recommend the key</source>
        <translation>不建议使用这个键</translation>
    </message>
</context>
<context>
    <name>ToneKeyDialog</name>
    <message>
        <source>change to:</source>
        <translation>改为：</translation>
    </message>
    <message>
        <source>ok</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>cancel</source>
        <translation>取消</translation>
    </message>
</context>
</TS>
