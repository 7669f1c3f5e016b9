<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
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
        <translation>信息</translation>
    </message>
    <message>
        <source>Send data Error！</source>
        <translation>发送数据错误！</translation>
    </message>
    <message>
        <source>Message format error！</source>
        <translation>报文格式错误！</translation>
    </message>
    <message>
        <source>Warn</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Read key infomation fail!</source>
        <translation>读取关键信息失败！</translation>
    </message>
    <message>
        <source>No probe connection!</source>
        <translation>未连接探头！</translation>
    </message>
    <message>
        <source>The instrument is not configured production information!</source>
        <translation>仪器未配置生产信息！</translation>
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
        <translation>曲线</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>报告</translation>
    </message>
</context>
</TS>