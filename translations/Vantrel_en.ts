<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en_US">
<context>
    <name>MainWindow</name>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>中文</source>
        <translation>中文</translation>
    </message>
    <message>
        <source>information</source>
        <translation>information</translation>
    </message>
    <message>
        <source>Send data Error！</source>
        <translation>Send data Error！</translation>
    </message>
    <message>
        <source>Message format error！</source>
        <translation>Message format error！</translation>
    </message>
    <message>
        <source>Warn</source>
        <translation>Warn</translation>
    </message>
    <message>
        <source>Read key infomation fail!</source>
        <translation>Read key infomation fail!</translation>
    </message>
    <message>
        <source>No probe connection!</source>
        <translation>No probe connection!</translation>
    </message>
    <message>
        <source>The instrument is not configured production information!</source>
        <translation>The instrument is not configured production information!</translation>
    </message>
</context>
<context>
    <name>TableOpWidget</name>
    <message>
        <source>EXCEL</source>
        <translation>EXCEL</translation>
    </message>
    <message>
        <source>Curve</source>
        <translation>Curve</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>Report</translation>
    </message>
</context>
</TS>