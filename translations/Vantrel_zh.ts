<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
<context>
    <name>Archive</name>
    <message>
        <source>The archive connection holds a password. Keep it in the password file (~/.pgpass) or the service file instead.</source>
        <translation>存档连接中含有密码。请把密码放在密码文件（~/.pgpass）或服务文件中。</translation>
    </message>
    <message>
        <source>Cannot connect to the archive server: %1</source>
        <translation>无法连接存档服务器：%1</translation>
    </message>
    <message>
        <source>The archive %1 is not a file.</source>
        <translation>存档 %1 不是文件。</translation>
    </message>
    <message>
        <source>Cannot read the archive %1: %2</source>
        <translation>无法读取存档 %1：%2</translation>
    </message>
    <message>
        <source>%1 is no archive: it is not an SQLite database. It was left as it was.</source>
        <translation>%1 不是存档：它不是 SQLite 数据库。文件未作改动。</translation>
    </message>
    <message>
        <source>Cannot open the archive %1: %2</source>
        <translation>无法打开存档 %1：%2</translation>
    </message>
    <message>
        <source>The archive %1 is damaged (%2). It was left as it was.</source>
        <translation>存档 %1 已损坏（%2）。文件未作改动。</translation>
    </message>
    <message>
        <source>The archive cannot be written</source>
        <translation>无法写入存档</translation>
    </message>
    <message>
        <source>The archive cannot be prepared: %1</source>
        <translation>无法准备存档：%1</translation>
    </message>
    <message>
        <source>The archive's version cannot be read: %1</source>
        <translation>无法读取存档的版本：%1</translation>
    </message>
    <message>
        <source>The archive was written by a newer version of the program (archive version %1, this program knows up to %2). It was left as it was.</source>
        <translation>存档由较新版本的程序写入（存档版本 %1，本程序最高支持 %2）。文件未作改动。</translation>
    </message>
    <message>
        <source>The database holds tables of another program; it is no archive. It was left as it was.</source>
        <translation>该数据库含有其他程序的表，不是存档。文件未作改动。</translation>
    </message>
    <message>
        <source>The archive cannot be brought to version %1: %2</source>
        <translation>无法将存档升级到版本 %1：%2</translation>
    </message>
    <message>
        <source>The instrument cannot be archived: %1</source>
        <translation>无法存档仪器：%1</translation>
    </message>
    <message>
        <source>The archive is not open.</source>
        <translation>存档未打开。</translation>
    </message>
    <message>
        <source>Run %1 cannot be archived: %2</source>
        <translation>第 %1 组数据无法存档：%2</translation>
    </message>
    <message>
        <source>Record %1 cannot be archived: %2</source>
        <translation>记录 %1 无法存档：%2</translation>
    </message>
    <message>
        <source>The file holds no measurement.</source>
        <translation>文件中没有测量数据。</translation>
    </message>
    <message>
        <source>The archive cannot be read: %1</source>
        <translation>无法读取存档：%1</translation>
    </message>
    <message>
        <source>The archive holds no run %1.</source>
        <translation>存档中没有第 %1 组数据。</translation>
    </message>
    <message>
        <source>The archive %1 is read-only: it can be listed and its runs exported, but it takes no imports.</source>
        <translation>存档 %1 为只读：可以列出和导出其中的数据，但不能导入。</translation>
    </message>
    <message>
        <source>The archive %1 is read-only and of an older version (%2): it can be read once a program that may write it has brought it up to date.</source>
        <translation>存档 %1 为只读，且版本较旧（%2）：需先由能写入它的程序更新后才能读取。</translation>
    </message>
    <message>
        <source>The archive connection is a postgresql:// address that cannot be read.</source>
        <translation>存档连接是一个无法解析的 postgresql:// 地址。</translation>
    </message>
    <message>
        <source>The archive connection looks like a connection string (key=value) but cannot be read: a quote is not closed or a word is not key=value.</source>
        <translation>存档连接看似连接字符串（key=value），但无法解析：有引号未闭合，或有一项不是 key=value 形式。</translation>
    </message>
    <message>
        <source>The archive connection is neither a PostgreSQL database nor an SQLite file.</source>
        <translation>存档连接既不是 PostgreSQL 数据库，也不是 SQLite 文件。</translation>
    </message>
    <message>
        <source>A PostgreSQL database is given by key=value words ("service=lab", "host=db.lab dbname=vantrel") or by a postgresql:// address; an SQLite file by an absolute path, a path starting with ./ or ~/, or a name ending in .sqlite or .db.</source>
        <translation>PostgreSQL 数据库用 key=value 形式（如“service=lab”“host=db.lab dbname=vantrel”）或 postgresql:// 地址给出；SQLite 文件用绝对路径、以 ./ 或 ~/ 开头的路径，或以 .sqlite 或 .db 结尾的文件名给出。</translation>
    </message>
    <message>
        <source>the SQLite file %1</source>
        <translation>SQLite 文件 %1</translation>
    </message>
    <message>
        <source>the PostgreSQL database %1</source>
        <translation>PostgreSQL 数据库 %1</translation>
    </message>
    <message>
        <source>This computer has no PostgreSQL driver for Qt: install the package libqt5sql5-psql (sudo apt install libqt5sql5-psql).</source>
        <translation>本机没有 Qt 的 PostgreSQL 驱动：请安装软件包 libqt5sql5-psql（sudo apt install libqt5sql5-psql）。</translation>
    </message>
    <message>
        <source>The archive is locked by another program: %1</source>
        <translation>存档被另一个程序锁定：%1</translation>
    </message>
    <message>
        <source>The archive %1 is locked by another program, which held it longer than the program waits: %2</source>
        <translation>存档 %1 被另一个程序锁定，锁定时间超过了本程序的等待时间：%2</translation>
    </message>
    <message>
        <source>The archive server's disk is full: %1</source>
        <translation>存档服务器的磁盘已满：%1</translation>
    </message>
    <message>
        <source>The disk holding the archive %1 is full: %2</source>
        <translation>存放存档 %1 的磁盘已满：%2</translation>
    </message>
    <message>
        <source>The archive server cannot be reached any more: %1</source>
        <translation>无法再连接到存档服务器：%1</translation>
    </message>
</context>
<context>
    <name>ArchiveConnectionDialog</name>
    <message>
        <source>Archive connection</source>
        <translation>存档连接</translation>
    </message>
    <message>
        <source>Connection:</source>
        <translation>连接：</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>测试</translation>
    </message>
    <message>
        <source>The archive cannot be used: %1</source>
        <translation>无法使用该存档：%1</translation>
    </message>
    <message>
        <source>The archive can be read, but it is read-only: downloads will not be archived.</source>
        <translation>该存档可以读取，但为只读：下载的数据不会存档。</translation>
    </message>
    <message>
        <source>The archive works: %1.</source>
        <translation>存档可以使用：%1。</translation>
    </message>
    <message>
        <source>%1

Keep this connection all the same? Downloads are archived there only once it can be used.</source>
        <translation>%1

仍然保存此连接吗？在它可以使用之前，下载的数据不会存档到那里。</translation>
    </message>
    <message>
        <source>Empty: this computer's own archive file (shown above in grey). Another SQLite file by its full path, or a PostgreSQL server by a connection string ("service=lab", "host=db.lab dbname=vantrel") or an address postgresql://user@db.lab/vantrel. No password is kept here: put it in the PostgreSQL password file ~/.pgpass.</source>
        <translation>留空：使用本机的存档文件（上方灰色所示）。也可填写另一个 SQLite 文件的完整路径，或用连接字符串（“service=lab”“host=db.lab dbname=vantrel”）或地址 postgresql://user@db.lab/vantrel 指定 PostgreSQL 服务器。此处不保存密码：请把密码写入 PostgreSQL 密码文件 ~/.pgpass。</translation>
    </message>
</context>
<context>
    <name>ArchiveKeeper</name>
    <message>
        <source>Archive</source>
        <translation>存档</translation>
    </message>
    <message>
        <source>History...</source>
        <translation>历史记录...</translation>
    </message>
    <message>
        <source>Archive every download</source>
        <translation>每次下载后存档</translation>
    </message>
    <message>
        <source>The download was not archived: %1
It stays on the page and can still be saved.</source>
        <translation>下载的数据未存档：%1
数据仍在页面上，可以保存。</translation>
    </message>
    <message>
        <source>Archive connection...</source>
        <translation>存档连接...</translation>
    </message>
    <message>
        <source>Archive (%1 waiting)</source>
        <translation>存档（%1 条等待中）</translation>
    </message>
    <message>
        <source>%1 runs or records wait for the archive: %2</source>
        <translation>%1 条运行或记录正在等待存档：%2</translation>
    </message>
    <message>
        <source>The download was not archived: %1
It waits in the archive's local queue (%2 runs or records in all) and is sent at the next download or when the program starts. It stays on the page and can still be saved.</source>
        <translation>下载的数据未存档：%1
数据在存档的本地队列中等待（共 %2 条运行或记录），将在下次下载或程序启动时发送。数据仍在页面上，可以保存。</translation>
    </message>
</context>
<context>
    <name>ArchiveQueue</name>
    <message>
        <source>The archive connection names no archive: nothing can wait for it.</source>
        <translation>存档连接未指定任何存档：无法为其排队等待。</translation>
    </message>
    <message>
        <source>The download holds no measurement.</source>
        <translation>下载的数据不含任何测量。</translation>
    </message>
    <message>
        <source>The download cannot be queued in %1: %2</source>
        <translation>下载的数据无法在 %1 中排队：%2</translation>
    </message>
    <message>
        <source>larger than a download</source>
        <translation>大于任何一次下载</translation>
    </message>
    <message>
        <source>The queue %1 cannot be locked.</source>
        <translation>无法锁定队列 %1。</translation>
    </message>
    <message>
        <source>A queued download cannot be read: %1</source>
        <translation>无法读取排队中的下载数据：%1</translation>
    </message>
    <message>
        <source>It cannot be queued either: %1</source>
        <translation>也无法将其排队：%1</translation>
    </message>
</context>
<context>
    <name>CommandTexts</name>
    <message>
        <source>读取主机基本配置信息写端口失败！</source>
        <translation>读取主机基本配置信息写端口失败！</translation>
    </message>
    <message>
        <source>读取主机基本配置信息接收端口报文失败！</source>
        <translation>读取主机基本配置信息接收端口报文失败！</translation>
    </message>
    <message>
        <source>读取主机基本配置信息接收的报文格式错误！</source>
        <translation>读取主机基本配置信息接收的报文格式错误！</translation>
    </message>
    <message>
        <source>主机基本配置信息的Checksum不正确！</source>
        <translation>主机基本配置信息的Checksum不正确！</translation>
    </message>
    <message>
        <source>写主机基本配置信息写端口失败！</source>
        <translation>写主机基本配置信息写端口失败！</translation>
    </message>
    <message>
        <source>写主机基本配置信息没有接收到报文！</source>
        <translation>写主机基本配置信息没有接收到报文！</translation>
    </message>
    <message>
        <source>写主机基本配置信息接收到的报文有错误！</source>
        <translation>写主机基本配置信息接收到的报文有错误！</translation>
    </message>
    <message>
        <source>读取主机时间配置信息写端口失败！</source>
        <translation>读取主机时间配置信息写端口失败！</translation>
    </message>
    <message>
        <source>读取主机时间配置信息接收端口报文失败！</source>
        <translation>读取主机时间配置信息接收端口报文失败！</translation>
    </message>
    <message>
        <source>读取主机时间配置信息接收的报文格式错误！</source>
        <translation>读取主机时间配置信息接收的报文格式错误！</translation>
    </message>
    <message>
        <source>写主机时间配置信息写端口失败！</source>
        <translation>写主机时间配置信息写端口失败！</translation>
    </message>
    <message>
        <source>写主机时间配置信息没有接收到报文！</source>
        <translation>写主机时间配置信息没有接收到报文！</translation>
    </message>
    <message>
        <source>写主机时间配置信息接收到的报文有错误！</source>
        <translation>写主机时间配置信息接收到的报文有错误！</translation>
    </message>
    <message>
        <source>读取生产信息写端口失败！</source>
        <translation>读取生产信息写端口失败！</translation>
    </message>
    <message>
        <source>读取生产信息接收端口报文失败！</source>
        <translation>读取生产信息接收端口报文失败！</translation>
    </message>
    <message>
        <source>读取生产信息接收的报文格式错误！</source>
        <translation>读取生产信息接收的报文格式错误！</translation>
    </message>
    <message>
        <source>读取生产信息checksum错误！</source>
        <translation>读取生产信息checksum错误！</translation>
    </message>
    <message>
        <source>读取调校日期写端口失败！</source>
        <translation>读取调校日期写端口失败！</translation>
    </message>
    <message>
        <source>读取调校日期接收端口报文失败！</source>
        <translation>读取调校日期接收端口报文失败！</translation>
    </message>
    <message>
        <source>读取调校日期接收的报文格式错误！</source>
        <translation>读取调校日期接收的报文格式错误！</translation>
    </message>
    <message>
        <source>读取调校日期checksum错误！</source>
        <translation>读取调校日期checksum错误！</translation>
    </message>
    <message>
        <source>读取软件版本写端口失败！</source>
        <translation>读取软件版本写端口失败！</translation>
    </message>
    <message>
        <source>读取软件版本接收端口报文失败！</source>
        <translation>读取软件版本接收端口报文失败！</translation>
    </message>
    <message>
        <source>读取软件版本接收的报文格式错误！</source>
        <translation>读取软件版本接收的报文格式错误！</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>提示</translation>
    </message>
</context>
<context>
    <name>CurveExportDialog</name>
    <message>
        <source>%1 files (%2)</source>
        <translation>%1 文件 (%2)</translation>
    </message>
    <message>
        <source>Export the plot</source>
        <translation>导出曲线图</translation>
    </message>
    <message>
        <source>Format:</source>
        <translation>格式：</translation>
    </message>
    <message>
        <source>Width:</source>
        <translation>宽度：</translation>
    </message>
    <message>
        <source>Height:</source>
        <translation>高度：</translation>
    </message>
    <message>
        <source>Resolution:</source>
        <translation>分辨率：</translation>
    </message>
    <message>
        <source> px</source>
        <translation> 像素</translation>
    </message>
    <message>
        <source> dpi</source>
        <translation> dpi</translation>
    </message>
</context>
<context>
    <name>FirstPageForLogger</name>
    <message>
        <source>Form</source>
        <translation>窗体</translation>
    </message>
    <message>
        <source>Device information</source>
        <translation>设备信息</translation>
    </message>
    <message>
        <source>SN:</source>
        <translation>序列号：</translation>
    </message>
    <message>
        <source>Production Date:</source>
        <translation>生产日期：</translation>
    </message>
    <message>
        <source>Calibration Date:</source>
        <translation>校准日期：</translation>
    </message>
    <message>
        <source>Device Name:</source>
        <translation>设备名称：</translation>
    </message>
    <message>
        <source>Firmware Version:</source>
        <translation>固件版本：</translation>
    </message>
    <message>
        <source>Setup parameter</source>
        <translation>参数设置</translation>
    </message>
    <message>
        <source>Auto Off</source>
        <translation>自动关机</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>关</translation>
    </message>
    <message>
        <source>ON</source>
        <translation>开</translation>
    </message>
    <message>
        <source>Shutdown</source>
        <translation>关机时间</translation>
    </message>
    <message>
        <source>10</source>
        <translation>10</translation>
    </message>
    <message>
        <source>Minute</source>
        <translation>分钟</translation>
    </message>
    <message>
        <source>Storage Interval</source>
        <translation>存储间隔</translation>
    </message>
    <message>
        <source>1S</source>
        <translation>1秒</translation>
    </message>
    <message>
        <source>10S</source>
        <translation>10秒</translation>
    </message>
    <message>
        <source>60S</source>
        <translation>60秒</translation>
    </message>
    <message>
        <source>Setup</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>读取</translation>
    </message>
    <message>
        <source>Setup Date/Time</source>
        <translation>设置日期/时间</translation>
    </message>
    <message>
        <source>Date/Time：</source>
        <translation>日期/时间：</translation>
    </message>
    <message>
        <source>Setup </source>
        <translation>设置 </translation>
    </message>
    <message>
        <source>Read </source>
        <translation>读取 </translation>
    </message>
    <message>
        <source>Get Data</source>
        <translation>获取数据</translation>
    </message>
    <message>
        <source>Save Data</source>
        <translation>保存数据</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清除</translation>
    </message>
    <message>
        <source>NO</source>
        <translation>序号</translation>
    </message>
    <message>
        <source>StartTime</source>
        <translation>开始时间</translation>
    </message>
    <message>
        <source>Duration(S)</source>
        <translation>持续时间(秒)</translation>
    </message>
    <message>
        <source>Power(REC) (μW/cm²)</source>
        <translation>记录功率 (μW/cm²)</translation>
    </message>
    <message>
        <source>Power(MAX) (μW/cm²)</source>
        <translation>最大功率 (μW/cm²)</translation>
    </message>
    <message>
        <source>Power(MIN) (μW/cm²)</source>
        <translation>最小功率 (μW/cm²)</translation>
    </message>
    <message>
        <source>Power(AVG) (μW/cm²)</source>
        <translation>平均功率 (μW/cm²)</translation>
    </message>
    <message>
        <source>Vantrel Instruments</source>
        <translation>Vantrel 仪器</translation>
    </message>
    <message>
        <source>www.vantrel.example</source>
        <translation>www.vantrel.example</translation>
    </message>
    <message>
        <source>information</source>
        <translation>信息</translation>
    </message>
    <message>
        <source>Getting data,please wait...</source>
        <translation>正在获取数据，请稍候...</translation>
    </message>
    <message>
        <source>warn</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Please Connecting instrument!</source>
        <translation>请连接仪器！</translation>
    </message>
    <message>
        <source>Read Storage Interval Error!</source>
        <translation>读取存储间隔错误！</translation>
    </message>
    <message>
        <source>Getting data outtime,please get again.</source>
        <translation>获取数据超时，请重新获取。</translation>
    </message>
    <message>
        <source>please get data first!</source>
        <translation>请先获取数据！</translation>
    </message>
    <message>
        <source>Please get data first!</source>
        <translation>请先获取数据！</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>openThreadSlot</source>
        <translation>openThreadSlot</translation>
    </message>
    <message>
        <source>closeThreadSlot</source>
        <translation>closeThreadSlot</translation>
    </message>
    <message>
        <source>The instrument was disconnected.</source>
        <translation>仪器已断开连接。</translation>
    </message>
    <message>
        <source>The instrument was disconnected during the download. Runs kept: %1.</source>
        <translation>下载过程中仪器已断开连接。已保留的数据组：%1 组。</translation>
    </message>
    <message>
        <source>The instrument holds %1 runs; the first %2 were downloaded.</source>
        <translation>仪器中存有 %1 组数据，已下载前 %2 组。</translation>
    </message>
</context>
<context>
    <name>FirstPageForMeter</name>
    <message>
        <source>Form</source>
        <translation>窗体</translation>
    </message>
    <message>
        <source>Device information</source>
        <translation>设备信息</translation>
    </message>
    <message>
        <source>SN:</source>
        <translation>序列号：</translation>
    </message>
    <message>
        <source>Production Date:</source>
        <translation>生产日期：</translation>
    </message>
    <message>
        <source>Calibration Date:</source>
        <translation>校准日期：</translation>
    </message>
    <message>
        <source>Device Name:</source>
        <translation>设备名称：</translation>
    </message>
    <message>
        <source>Firmware Version:</source>
        <translation>固件版本：</translation>
    </message>
    <message>
        <source>Setup parameter</source>
        <translation>参数设置</translation>
    </message>
    <message>
        <source>Auto Off</source>
        <translation>自动关机</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>关</translation>
    </message>
    <message>
        <source>ON</source>
        <translation>开</translation>
    </message>
    <message>
        <source>Smooth</source>
        <translation>平滑</translation>
    </message>
    <message>
        <source> OFF </source>
        <translation> 关 </translation>
    </message>
    <message>
        <source>50Hz</source>
        <translation>50Hz</translation>
    </message>
    <message>
        <source>60Hz</source>
        <translation>60Hz</translation>
    </message>
    <message>
        <source>Unit</source>
        <translation>单位</translation>
    </message>
    <message>
        <source>μW/cm²</source>
        <translation>μW/cm²</translation>
    </message>
    <message>
        <source>mW/cm²</source>
        <translation>mW/cm²</translation>
    </message>
    <message>
        <source>W/cm²</source>
        <translation>W/cm²</translation>
    </message>
    <message>
        <source>W/m²</source>
        <translation>W/m²</translation>
    </message>
    <message>
        <source>Energy Display</source>
        <translation>能量显示</translation>
    </message>
    <message>
        <source>No</source>
        <translation>否</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>是</translation>
    </message>
    <message>
        <source>Setup</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>读取</translation>
    </message>
    <message>
        <source>Get Data</source>
        <translation>获取数据</translation>
    </message>
    <message>
        <source>Save Data</source>
        <translation>保存数据</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清除</translation>
    </message>
    <message>
        <source>NO</source>
        <translation>序号</translation>
    </message>
    <message>
        <source>Energy</source>
        <translation>能量</translation>
    </message>
    <message>
        <source>Duration(S)</source>
        <translation>持续时间(秒)</translation>
    </message>
    <message>
        <source>Power(RT)</source>
        <translation>实时功率</translation>
    </message>
    <message>
        <source>Power(MAX) </source>
        <translation>最大功率 </translation>
    </message>
    <message>
        <source>Power(MIN)</source>
        <translation>最小功率</translation>
    </message>
    <message>
        <source>Power(AVG)</source>
        <translation>平均功率</translation>
    </message>
    <message>
        <source>Vantrel Instruments</source>
        <translation>Vantrel 仪器</translation>
    </message>
    <message>
        <source>www.vantrel.example</source>
        <translation>www.vantrel.example</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>information</source>
        <translation>信息</translation>
    </message>
    <message>
        <source>Getting data,please wait...</source>
        <translation>正在获取数据，请稍候...</translation>
    </message>
    <message>
        <source>Warn</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>No probe connection!</source>
        <translation>未连接探头！</translation>
    </message>
    <message>
        <source>warn</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Please Connecting instrument!</source>
        <translation>请连接仪器！</translation>
    </message>
    <message>
        <source>Vantrel V2.1</source>
        <translation>Vantrel V2.1</translation>
    </message>
    <message>
        <source>Resetting the parameter history data will be cleared.</source>
        <translation>重新设置参数将清除历史数据。</translation>
    </message>
    <message>
        <source>Getting data outtime,please get again.</source>
        <translation>获取数据超时，请重新获取。</translation>
    </message>
    <message>
        <source>Probe connection!</source>
        <translation>探头已连接！</translation>
    </message>
    <message>
        <source>Please get data first!</source>
        <translation>请先获取数据！</translation>
    </message>
    <message>
        <source>openThreadSlot</source>
        <translation>openThreadSlot</translation>
    </message>
    <message>
        <source>closeThreadSlot</source>
        <translation>closeThreadSlot</translation>
    </message>
    <message>
        <source>The instrument was disconnected.</source>
        <translation>仪器已断开连接。</translation>
    </message>
    <message>
        <source>The instrument was disconnected during the download. Records kept: %1.</source>
        <translation>下载过程中仪器已断开连接。已保留的记录：%1 条。</translation>
    </message>
    <message>
        <source>%1 of %2 records arrived; failed and left out: %3.</source>
        <translation>%2 条记录中收到 %1 条；失败并已略去：%3。</translation>
    </message>
</context>
<context>
    <name>HistoryDialog</name>
    <message>
        <source>History</source>
        <translation>历史记录</translation>
    </message>
    <message>
        <source>Serial number:</source>
        <translation>序列号：</translation>
    </message>
    <message>
        <source>From:</source>
        <translation>从：</translation>
    </message>
    <message>
        <source>Until:</source>
        <translation>到：</translation>
    </message>
    <message>
        <source>any</source>
        <translation>不限</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>搜索</translation>
    </message>
    <message>
        <source>Open run</source>
        <translation>打开该组数据</translation>
    </message>
    <message>
        <source>Instrument / start</source>
        <translation>仪器 / 开始时间</translation>
    </message>
    <message>
        <source>Run / record</source>
        <translation>组 / 记录</translation>
    </message>
    <message>
        <source>Samples</source>
        <translation>采样数</translation>
    </message>
    <message>
        <source>Duration (s)</source>
        <translation>时长（秒）</translation>
    </message>
    <message>
        <source>Dose (mJ/cm²) / energy</source>
        <translation>剂量（mJ/cm²）/ 能量</translation>
    </message>
    <message>
        <source>Peak (μW/cm²) / MAX</source>
        <translation>峰值（μW/cm²）/ 最大值</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>来源</translation>
    </message>
    <message>
        <source>Dose (mJ/cm²)</source>
        <translation>剂量（mJ/cm²）</translation>
    </message>
    <message>
        <source>Peak (μW/cm²)</source>
        <translation>峰值（μW/cm²）</translation>
    </message>
    <message>
        <source>Start of the run</source>
        <translation>开始时间</translation>
    </message>
    <message>
        <source>Instrument not named</source>
        <translation>未注明仪器</translation>
    </message>
    <message>
        <source>%1, serial number %2</source>
        <translation>%1，序列号 %2</translation>
    </message>
    <message>
        <source>Logger</source>
        <translation>记录仪</translation>
    </message>
    <message>
        <source>Meter</source>
        <translation>照度计</translation>
    </message>
    <message>
        <source>no start time</source>
        <translation>无开始时间</translation>
    </message>
    <message>
        <source>run %1</source>
        <translation>第 %1 组</translation>
    </message>
    <message>
        <source>record %1</source>
        <translation>记录 %1</translation>
    </message>
    <message>
        <source>The archive holds nothing that matches the search.</source>
        <translation>存档中没有符合搜索条件的数据。</translation>
    </message>
    <message numerus="yes">
        <source>%n run(s)</source>
        <translation><numerusform>%n 组数据</numerusform></translation>
    </message>
    <message numerus="yes">
        <source>%n record(s)</source>
        <translation><numerusform>%n 条记录</numerusform></translation>
    </message>
    <message>
        <source>the archive (run %1)</source>
        <translation>存档（第 %1 组）</translation>
    </message>
    <message>
        <source>download</source>
        <translation>下载</translation>
    </message>
    <message>
        <source>(The archive is read-only: downloads are not archived into it.)</source>
        <translation>（该存档为只读：下载的数据不会存入其中。）</translation>
    </message>
    <message>
        <source>Meter records have no dose or peak trend; only Logger runs are plotted.</source>
        <translation>照度计记录没有剂量或峰值趋势；图中只画出记录仪的各组数据。</translation>
    </message>
    <message>
        <source>Runs without a start time are not plotted.</source>
        <translation>没有开始时间的组不画在图中。</translation>
    </message>
    <message>
        <source>No runs to plot.</source>
        <translation>没有可画出的数据组。</translation>
    </message>
</context>
<context>
    <name>InformationPageForLogger</name>
    <message>
        <source>Report</source>
        <translation>报告</translation>
    </message>
    <message>
        <source>information</source>
        <translation>信息</translation>
    </message>
    <message>
        <source>Device:</source>
        <translation>设备：</translation>
    </message>
    <message>
        <source>SN:</source>
        <translation>序列号：</translation>
    </message>
    <message>
        <source>Start Time:</source>
        <translation>开始时间：</translation>
    </message>
    <message>
        <source>Duration:</source>
        <translation>持续时间：</translation>
    </message>
    <message>
        <source>Test Light:</source>
        <translation>测试光源：</translation>
    </message>
    <message>
        <source>Company:</source>
        <translation>公司：</translation>
    </message>
    <message>
        <source>Tester:</source>
        <translation>测试员：</translation>
    </message>
    <message>
        <source>Auditor:</source>
        <translation>审核员：</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>InformationPageForMeter</name>
    <message>
        <source>Report</source>
        <translation>报告</translation>
    </message>
    <message>
        <source>information</source>
        <translation>信息</translation>
    </message>
    <message>
        <source>Device:</source>
        <translation>设备：</translation>
    </message>
    <message>
        <source>SN:</source>
        <translation>序列号：</translation>
    </message>
    <message>
        <source>Test Light:</source>
        <translation>测试光源：</translation>
    </message>
    <message>
        <source>Company:</source>
        <translation>公司：</translation>
    </message>
    <message>
        <source>Tester:</source>
        <translation>测试员：</translation>
    </message>
    <message>
        <source>Auditor:</source>
        <translation>审核员：</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>LoggerClock</name>
    <message>
        <source>information</source>
        <translation>信息</translation>
    </message>
    <message>
        <source>parameter date time error!</source>
        <translation>日期时间设置错误！</translation>
    </message>
    <message>
        <source>parameter date time success!</source>
        <translation>日期时间设置成功！</translation>
    </message>
</context>
<context>
    <name>LoggerDeviceInfo</name>
    <message>
        <source>Warn</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Read key infomation fail!</source>
        <translation>读取关键信息失败！</translation>
    </message>
    <message>
        <source>The instrument is not configured production information!</source>
        <translation>仪器未配置生产信息！</translation>
    </message>
</context>
<context>
    <name>LoggerReport</name>
    <message>
        <source>trapezoid</source>
        <translation>梯形</translation>
    </message>
    <message>
        <source>sample-and-hold</source>
        <translation>采样保持</translation>
    </message>
    <message>
        <source>s</source>
        <translation>秒</translation>
    </message>
    <message>
        <source>UV Figures</source>
        <translation>UV 数据</translation>
    </message>
    <message>
        <source>Item</source>
        <translation>项目</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>数值</translation>
    </message>
    <message>
        <source>Unit</source>
        <translation>单位</translation>
    </message>
    <message>
        <source>Dose (%1)</source>
        <translation>剂量（%1）</translation>
    </message>
    <message>
        <source>Peak</source>
        <translation>峰值</translation>
    </message>
    <message>
        <source>Exposure window (%1% of the peak)</source>
        <translation>曝光时段（峰值的 %1%）</translation>
    </message>
    <message>
        <source>Time above %1 %2</source>
        <translation>高于 %1 %2 的时间</translation>
    </message>
    <message>
        <source>Limits</source>
        <translation>限值</translation>
    </message>
    <message>
        <source>Check</source>
        <translation>检查项</translation>
    </message>
    <message>
        <source>Measured</source>
        <translation>测量值</translation>
    </message>
    <message>
        <source>Limit</source>
        <translation>限值</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>结果</translation>
    </message>
    <message>
        <source>Dose minimum</source>
        <translation>剂量下限</translation>
    </message>
    <message>
        <source>Dose maximum</source>
        <translation>剂量上限</translation>
    </message>
    <message>
        <source>Peak minimum</source>
        <translation>峰值下限</translation>
    </message>
    <message>
        <source>Peak maximum</source>
        <translation>峰值上限</translation>
    </message>
    <message>
        <source>Minimum time above %1 %2</source>
        <translation>高于 %1 %2 的最短时间</translation>
    </message>
    <message>
        <source>PASS</source>
        <translation>合格</translation>
    </message>
    <message>
        <source>FAIL</source>
        <translation>不合格</translation>
    </message>
    <message>
        <source>Verdict:</source>
        <translation>判定：</translation>
    </message>
    <message>
        <source>The samples come from a file that keeps them with one decimal: these figures are of rounded samples.</source>
        <translation>采样值来自只保留一位小数的文件：以下参数由取整后的采样值算出。</translation>
    </message>
</context>
<context>
    <name>LoggerRunTable</name>
    <message>
        <source>Doses in %1</source>
        <translation>剂量单位 %1</translation>
    </message>
    <message>
        <source>Window (s)</source>
        <translation>曝光窗口（秒）</translation>
    </message>
    <message>
        <source>Dose in %1</source>
        <translation>剂量 %1</translation>
    </message>
    <message>
        <source>Peak in %1</source>
        <translation>峰值 %1</translation>
    </message>
</context>
<context>
    <name>LoggerSave</name>
    <message>
        <source>Storing data to Excel</source>
        <translation>保存数据到 Excel</translation>
    </message>
    <message>
        <source>excel file (*.xls)</source>
        <translation>Excel 文件 (*.xls)</translation>
    </message>
    <message>
        <source>excel file (*.xlsx)</source>
        <translation>Excel 文件 (*.xlsx)</translation>
    </message>
    <message>
        <source>CSV (*.csv)</source>
        <translation>CSV 文件 (*.csv)</translation>
    </message>
    <message>
        <source>export</source>
        <translation>导出</translation>
    </message>
    <message>
        <source>Export data failed!</source>
        <translation>导出数据失败！</translation>
    </message>
    <message>
        <source>error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>No data for Storing to Excel!</source>
        <translation>没有可保存到 Excel 的数据！</translation>
    </message>
    <message>
        <source>Storing data</source>
        <translation>保存数据</translation>
    </message>
    <message>
        <source>Storing data failed, Can't open file!</source>
        <translation>保存数据失败，无法打开文件！</translation>
    </message>
    <message>
        <source>Storing data,please wait...</source>
        <translation>正在保存数据，请稍候...</translation>
    </message>
    <message>
        <source>cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Excel file (*.xls)</source>
        <translation>Excel 文件 (*.xls)</translation>
    </message>
    <message>
        <source>Excel file (*.xlsx)</source>
        <translation>Excel 文件 (*.xlsx)</translation>
    </message>
    <message>
        <source>information</source>
        <translation>信息</translation>
    </message>
    <message>
        <source>Save file success!</source>
        <translation>保存文件成功！</translation>
    </message>
    <message>
        <source>Save data file fail!</source>
        <translation>保存数据文件失败！</translation>
    </message>
    <message>
        <source>Create data file fail!</source>
        <translation>创建数据文件失败！</translation>
    </message>
    <message>
        <source>Saving Excel data, please wait</source>
        <translation>正在保存 Excel 数据，请稍候</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Storing data failed, Can't open sheet!</source>
        <translation>保存数据失败，无法打开工作表！</translation>
    </message>
</context>
<context>
    <name>LoggerSettingsPanel</name>
    <message>
        <source>Vantrel V2.1</source>
        <translation>Vantrel V2.1</translation>
    </message>
    <message>
        <source>Resetting the parameter history data will be cleared.</source>
        <translation>重新设置参数将清除历史数据。</translation>
    </message>
    <message>
        <source>information</source>
        <translation>信息</translation>
    </message>
    <message>
        <source>Shutdown must between 1—10!</source>
        <translation>关机时间必须在1—10之间！</translation>
    </message>
    <message>
        <source>parameter configuration Error!</source>
        <translation>参数配置错误！</translation>
    </message>
    <message>
        <source>parameter configuration success!</source>
        <translation>参数配置成功！</translation>
    </message>
</context>
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
    <message>
        <source>Device already opened.</source>
        <translation>设备已打开。</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
</context>
<context>
    <name>MeasurementFile</name>
    <message>
        <source>not an object</source>
        <translation>不是对象</translation>
    </message>
    <message>
        <source>not a time YYYY-MM-DDTHH:MM:SS</source>
        <translation>不是时间 YYYY-MM-DDTHH:MM:SS</translation>
    </message>
    <message>
        <source>not a unit of the Meter</source>
        <translation>不是照度计的单位</translation>
    </message>
    <message>
        <source>missing</source>
        <translation>缺少</translation>
    </message>
    <message>
        <source>This is no JSON file (at byte %1: %2).</source>
        <translation>这不是 JSON 文件（第 %1 字节：%2）。</translation>
    </message>
    <message>
        <source>This JSON file was not written by Vantrel.</source>
        <translation>此 JSON 文件不是 Vantrel 写入的。</translation>
    </message>
    <message>
        <source>This file was written by a newer Vantrel (format version %1); this version reads format version %2.</source>
        <translation>此文件由较新的 Vantrel 写入（格式版本 %1）；本版本只能读取格式版本 %2。</translation>
    </message>
    <message>
        <source>neither "logger" nor "meter"</source>
        <translation>既不是“logger”也不是“meter”</translation>
    </message>
    <message>
        <source>The file is damaged: %1.</source>
        <translation>文件已损坏：%1。</translation>
    </message>
    <message>
        <source>%1 s, but the %2 samples at %3 s cover %4 s</source>
        <translation>%1 秒，但间隔 %3 秒的 %2 个采样值覆盖 %4 秒</translation>
    </message>
</context>
<context>
    <name>MeasurementFile::Reader</name>
    <message>
        <source>not a number</source>
        <translation>不是数字</translation>
    </message>
    <message>
        <source>not a whole number from %1 to %2</source>
        <translation>不是 %1 到 %2 之间的整数</translation>
    </message>
    <message>
        <source>missing, or not a list</source>
        <translation>缺少，或不是列表</translation>
    </message>
    <message>
        <source>more than %1 entries</source>
        <translation>多于 %1 项</translation>
    </message>
</context>
<context>
    <name>MeasurementReader</name>
    <message>
        <source>%1: %2 values instead of 7.</source>
        <translation>%1：有 %2 个值，应为 7 个。</translation>
    </message>
    <message>
        <source>%1: the record number "%2" is no whole number.</source>
        <translation>%1：记录编号“%2”不是整数。</translation>
    </message>
    <message>
        <source>%1, column %2: "%3" is no number.</source>
        <translation>%1，第 %2 列：“%3”不是数字。</translation>
    </message>
    <message>
        <source>%1 does not exist.</source>
        <translation>%1 不存在。</translation>
    </message>
    <message>
        <source>%1 is not a file.</source>
        <translation>%1 不是文件。</translation>
    </message>
    <message>
        <source>%1 cannot be opened: %2.</source>
        <translation>无法打开 %1：%2。</translation>
    </message>
    <message>
        <source>%1 is larger than %2 MB, more than any measurement file.</source>
        <translation>%1 大于 %2 MB，超过任何测量文件的大小。</translation>
    </message>
    <message>
        <source>The workbook cannot be read: %1.</source>
        <translation>无法读取工作簿：%1。</translation>
    </message>
    <message>
        <source>This is no measurement file of Vantrel (JSON, CSV, .xls or .xlsx).</source>
        <translation>这不是 Vantrel 的测量文件（JSON、CSV、.xls 或 .xlsx）。</translation>
    </message>
    <message>
        <source>Line %1 of the CSV file has a quote that does not close.</source>
        <translation>CSV 文件第 %1 行的引号没有闭合。</translation>
    </message>
    <message>
        <source>The CSV file is empty.</source>
        <translation>CSV 文件为空。</translation>
    </message>
    <message>
        <source>The CSV file separates its fields with another character than the comma Vantrel writes.</source>
        <translation>CSV 文件用逗号以外的字符分隔字段，而 Vantrel 写入的是逗号。</translation>
    </message>
    <message>
        <source>Line %1</source>
        <translation>第 %1 行</translation>
    </message>
    <message>
        <source>%1: %2 fields instead of %3.</source>
        <translation>%1：有 %2 个字段，应为 %3 个。</translation>
    </message>
    <message>
        <source>%1: the run number "%2" is no whole number.</source>
        <translation>%1：记录组编号“%2”不是整数。</translation>
    </message>
    <message>
        <source>%1: a sample of run %2 that does not follow its run.</source>
        <translation>%1：第 %2 组的采样点不在该组之后。</translation>
    </message>
    <message>
        <source>%1: the sample's time or value is no number.</source>
        <translation>%1：采样点的时间或数值不是数字。</translation>
    </message>
    <message>
        <source>%1: "%2" is neither "run" nor "sample".</source>
        <translation>%1：“%2”既不是“run”也不是“sample”。</translation>
    </message>
    <message>
        <source>The CSV file was not written by Vantrel: its first line is no header Vantrel writes.</source>
        <translation>此 CSV 文件不是 Vantrel 写入的：第一行不是 Vantrel 写入的表头。</translation>
    </message>
    <message>
        <source>The workbook has no sheet.</source>
        <translation>工作簿没有工作表。</translation>
    </message>
    <message>
        <source>The workbook was not written by Vantrel: its first sheet does not start with the table's header.</source>
        <translation>此工作簿不是 Vantrel 写入的：第一个工作表不是以表头开始。</translation>
    </message>
    <message>
        <source>This workbook holds the samples of one run (NUM, VAL) without the run's start time and storage interval, so it cannot be shown again. Open the workbook saved with "Save Data" instead.</source>
        <translation>此工作簿只含一组数据的采样值（NUM、VAL），没有该组的开始时间和存储间隔，因此无法再次显示。请打开用“保存数据”保存的工作簿。</translation>
    </message>
    <message>
        <source>Sheet 1, row %1</source>
        <translation>工作表 1，第 %1 行</translation>
    </message>
    <message>
        <source>The workbook has no sheet with the samples of run %1.</source>
        <translation>工作簿中没有第 %1 组采样数据的工作表。</translation>
    </message>
    <message>
        <source>Sheet %1, row %2: "%3" is no number.</source>
        <translation>工作表 %1，第 %2 行：“%3”不是数字。</translation>
    </message>
    <message>
        <source>%1: the serial number "%2" is no whole number.</source>
        <translation>%1：序列号“%2”不是整数。</translation>
    </message>
    <message>
        <source>Run %1 declares %2 s, but its %3 samples in the file cover %4 s: the file is cut short or damaged.</source>
        <translation>第 %1 组数据标明 %2 秒，但文件中的 %3 个采样值只覆盖 %4 秒：文件被截断或已损坏。</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>%1: the duration "%2" is no whole number.</source>
        <translation>%1：时长“%2”不是整数。</translation>
    </message>
    <message>
        <source>The workbook's run table has %1 runs, but its sheet "%2" describes %3.</source>
        <translation>工作簿的数据表有 %1 组数据，但工作表“%2”描述了 %3 组。</translation>
    </message>
    <message>
        <source>Sheet "%1", row %2: run %3 has no interval of its own.</source>
        <translation>工作表“%1”第 %2 行：第 %3 组数据没有自己的存储间隔。</translation>
    </message>
    <message>
        <source>Run %1 had %2 samples, but its sheet holds %3: the file is cut short or damaged.</source>
        <translation>第 %1 组数据原有 %2 个采样值，但其工作表只有 %3 个：文件被截断或已损坏。</translation>
    </message>
</context>
<context>
    <name>MeterDeviceInfo</name>
    <message>
        <source>Warn</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>No probe connection!</source>
        <translation>未连接探头！</translation>
    </message>
    <message>
        <source>The instrument is not configured production information!</source>
        <translation>仪器未配置生产信息！</translation>
    </message>
    <message>
        <source>Read key infomation fail!</source>
        <translation>读取关键信息失败！</translation>
    </message>
</context>
<context>
    <name>MeterRecordTable</name>
    <message>
        <source>Energy </source>
        <translation>能量 </translation>
    </message>
    <message>
        <source>Power(RT) </source>
        <translation>实时功率 </translation>
    </message>
    <message>
        <source>Power(MAX) </source>
        <translation>最大功率 </translation>
    </message>
    <message>
        <source>Power(MIN) </source>
        <translation>最小功率 </translation>
    </message>
    <message>
        <source>Power(AVG) </source>
        <translation>平均功率 </translation>
    </message>
    <message>
        <source>Energy mJ/cm²</source>
        <translation>能量 mJ/cm²</translation>
    </message>
    <message>
        <source>Power(RT) mW/cm²</source>
        <translation>实时功率 mW/cm²</translation>
    </message>
    <message>
        <source>Power(MAX) mW/cm²</source>
        <translation>最大功率 mW/cm²</translation>
    </message>
    <message>
        <source>Power(MIN) mW/cm²</source>
        <translation>最小功率 mW/cm²</translation>
    </message>
    <message>
        <source>Power(AVG) mW/cm²</source>
        <translation>平均功率 mW/cm²</translation>
    </message>
    <message>
        <source>Energy J/cm²</source>
        <translation>能量 J/cm²</translation>
    </message>
    <message>
        <source>Power(RT) W/cm²</source>
        <translation>实时功率 W/cm²</translation>
    </message>
    <message>
        <source>Power(MAX) W/cm²</source>
        <translation>最大功率 W/cm²</translation>
    </message>
    <message>
        <source>Power(MIN) W/cm²</source>
        <translation>最小功率 W/cm²</translation>
    </message>
    <message>
        <source>Power(AVG) W/cm²</source>
        <translation>平均功率 W/cm²</translation>
    </message>
    <message>
        <source>Energy J/m²</source>
        <translation>能量 J/m²</translation>
    </message>
    <message>
        <source>Power(RT) W/m²</source>
        <translation>实时功率 W/m²</translation>
    </message>
    <message>
        <source>Power(MAX) W/m²</source>
        <translation>最大功率 W/m²</translation>
    </message>
    <message>
        <source>Power(MIN) W/m²</source>
        <translation>最小功率 W/m²</translation>
    </message>
    <message>
        <source>Power(AVG) W/m²</source>
        <translation>平均功率 W/m²</translation>
    </message>
</context>
<context>
    <name>MeterSave</name>
    <message>
        <source>Storing data to Excel</source>
        <translation>保存数据到 Excel</translation>
    </message>
    <message>
        <source>Excel file (*.xls)</source>
        <translation>Excel 文件 (*.xls)</translation>
    </message>
    <message>
        <source>Excel file (*.xlsx)</source>
        <translation>Excel 文件 (*.xlsx)</translation>
    </message>
    <message>
        <source>CSV (*.csv)</source>
        <translation>CSV 文件 (*.csv)</translation>
    </message>
    <message>
        <source>information</source>
        <translation>信息</translation>
    </message>
    <message>
        <source>Save file success!</source>
        <translation>保存文件成功！</translation>
    </message>
    <message>
        <source>Save data file fail!</source>
        <translation>保存数据文件失败！</translation>
    </message>
    <message>
        <source>Storing data</source>
        <translation>保存数据</translation>
    </message>
    <message>
        <source>Saving Excel data, please wait</source>
        <translation>正在保存 Excel 数据，请稍候</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>MeterSettingsPanel</name>
    <message>
        <source>Warn</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>No probe connection!</source>
        <translation>未连接探头！</translation>
    </message>
    <message>
        <source>information</source>
        <translation>信息</translation>
    </message>
    <message>
        <source>parameter configuration Error!</source>
        <translation>参数配置错误！</translation>
    </message>
    <message>
        <source>parameter configuration success!</source>
        <translation>参数配置成功！</translation>
    </message>
</context>
<context>
    <name>OpenedFileBar</name>
    <message>
        <source>Open...</source>
        <translation>打开...</translation>
    </message>
    <message>
        <source>Data from %1</source>
        <translation>数据来自 %1</translation>
    </message>
    <message>
        <source>%1, serial number %2</source>
        <translation>%1，序列号 %2</translation>
    </message>
    <message>
        <source>the file does not name the instrument</source>
        <translation>文件未注明仪器</translation>
    </message>
    <message>
        <source>Open a measurement file</source>
        <translation>打开测量文件</translation>
    </message>
    <message>
        <source>Measurement files (*.json *.csv *.xls *.xlsx)</source>
        <translation>测量文件 (*.json *.csv *.xls *.xlsx)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>所有文件 (*)</translation>
    </message>
    <message>
        <source>Back to the instrument</source>
        <translation>返回仪器</translation>
    </message>
</context>
<context>
    <name>PlotExport</name>
    <message>
        <source>A plot is from 1 to %1 pixels wide and high, and at most %2 million pixels in all.</source>
        <translation>图的宽和高为 1 到 %1 像素，总计最多 %2 百万像素。</translation>
    </message>
    <message>
        <source>The resolution is from 1 to %1 dpi.</source>
        <translation>分辨率为 1 到 %1 dpi。</translation>
    </message>
    <message>
        <source>The plot could not be drawn for %1.</source>
        <translation>无法为 %1 绘制曲线图。</translation>
    </message>
    <message>
        <source>%1 could not be written: %2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
</context>
<context>
    <name>PrivateFile</name>
    <message>
        <source>Cannot create the folder %1: %2</source>
        <translation>无法创建文件夹 %1：%2</translation>
    </message>
    <message>
        <source>Cannot make the folder %1 private: %2</source>
        <translation>无法将文件夹 %1 设为仅本人可访问：%2</translation>
    </message>
    <message>
        <source>%1 is not a folder.</source>
        <translation>%1 不是文件夹。</translation>
    </message>
    <message>
        <source>Cannot create %1: %2</source>
        <translation>无法创建 %1：%2</translation>
    </message>
    <message>
        <source>Cannot make %1 private: %2</source>
        <translation>无法将 %1 设为仅本人可访问：%2</translation>
    </message>
</context>
<context>
    <name>ReportLimitsPanel</name>
    <message>
        <source>Limits</source>
        <translation>限值</translation>
    </message>
    <message>
        <source>Limit set:</source>
        <translation>限值组：</translation>
    </message>
    <message>
        <source>Name of the set</source>
        <translation>限值组名称</translation>
    </message>
    <message>
        <source>Save Set</source>
        <translation>保存限值组</translation>
    </message>
    <message>
        <source>Delete Set</source>
        <translation>删除限值组</translation>
    </message>
    <message>
        <source>Dose (mJ/cm²)</source>
        <translation>剂量（mJ/cm²）</translation>
    </message>
    <message>
        <source>Minimum</source>
        <translation>下限</translation>
    </message>
    <message>
        <source>Maximum</source>
        <translation>上限</translation>
    </message>
    <message>
        <source>Peak (μW/cm²)</source>
        <translation>峰值（μW/cm²）</translation>
    </message>
    <message>
        <source>Time above</source>
        <translation>高于阈值的时间</translation>
    </message>
    <message>
        <source>Threshold</source>
        <translation>阈值</translation>
    </message>
    <message>
        <source>Minimum (s)</source>
        <translation>下限（秒）</translation>
    </message>
    <message>
        <source>A minimum is above its maximum.</source>
        <translation>最小值大于其最大值。</translation>
    </message>
</context>
<context>
    <name>ReportPageForLogger</name>
    <message>
        <source>Report</source>
        <translation>报告</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>信息</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>打印</translation>
    </message>
    <message>
        <source>Test Report1</source>
        <translation>测试报告</translation>
    </message>
    <message>
        <source>Test Report</source>
        <translation>Test Report</translation>
    </message>
    <message>
        <source>Device: </source>
        <translation>设备：</translation>
    </message>
    <message>
        <source>SN:</source>
        <translation>序列号：</translation>
    </message>
    <message>
        <source>StartTime:</source>
        <translation>开始时间：</translation>
    </message>
    <message>
        <source>Duration:</source>
        <translation>持续时间：</translation>
    </message>
    <message>
        <source>Test Light:</source>
        <translation>测试光源：</translation>
    </message>
    <message>
        <source>Company:</source>
        <translation>公司：</translation>
    </message>
    <message>
        <source>Test Data</source>
        <translation>测试数据</translation>
    </message>
    <message>
        <source>Item</source>
        <translation>项目</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>数值</translation>
    </message>
    <message>
        <source>Unit</source>
        <translation>单位</translation>
    </message>
    <message>
        <source>Power(REC)</source>
        <translation>记录功率</translation>
    </message>
    <message>
        <source>Power(MAX)</source>
        <translation>最大功率</translation>
    </message>
    <message>
        <source>Power(MIN)</source>
        <translation>最小功率</translation>
    </message>
    <message>
        <source>Power(AVG)</source>
        <translation>平均功率</translation>
    </message>
    <message>
        <source> Tester:</source>
        <translation> 测试员：</translation>
    </message>
    <message>
        <source> Auditor:</source>
        <translation> 审核员：</translation>
    </message>
</context>
<context>
    <name>ReportPageForMeter</name>
    <message>
        <source>Report</source>
        <translation>报告</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>信息</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>打印</translation>
    </message>
    <message>
        <source>Test Report1</source>
        <translation>测试报告</translation>
    </message>
    <message>
        <source>Test Report</source>
        <translation>Test Report</translation>
    </message>
    <message>
        <source>Device: </source>
        <translation>设备：</translation>
    </message>
    <message>
        <source>SN:</source>
        <translation>序列号：</translation>
    </message>
    <message>
        <source>Test Light:</source>
        <translation>测试光源：</translation>
    </message>
    <message>
        <source>Company:</source>
        <translation>公司：</translation>
    </message>
    <message>
        <source>Test Data</source>
        <translation>测试数据</translation>
    </message>
    <message>
        <source>Item</source>
        <translation>项目</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>数值</translation>
    </message>
    <message>
        <source>Unit</source>
        <translation>单位</translation>
    </message>
    <message>
        <source>Energy</source>
        <translation>能量</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>时长</translation>
    </message>
    <message>
        <source>S</source>
        <translation>秒</translation>
    </message>
    <message>
        <source>Power(RT)</source>
        <translation>实时功率</translation>
    </message>
    <message>
        <source>Power(MAX)</source>
        <translation>最大功率</translation>
    </message>
    <message>
        <source>Power(MIN)</source>
        <translation>最小功率</translation>
    </message>
    <message>
        <source>Power(AVG)</source>
        <translation>平均功率</translation>
    </message>
    <message>
        <source> Tester:</source>
        <translation> 测试员：</translation>
    </message>
    <message>
        <source> Auditor:</source>
        <translation> 审核员：</translation>
    </message>
</context>
<context>
    <name>RunComparison</name>
    <message>
        <source>The tolerance must be more than 0 %.</source>
        <translation>容差必须大于 0 %。</translation>
    </message>
    <message>
        <source>A run without a storage interval cannot be compared.</source>
        <translation>没有存储间隔的记录组无法比较。</translation>
    </message>
    <message>
        <source>The reference run has no samples.</source>
        <translation>参考记录组没有采样数据。</translation>
    </message>
</context>
<context>
    <name>RunPlot</name>
    <message>
        <source>Run %1</source>
        <translation>记录组 %1</translation>
    </message>
    <message>
        <source>Run %1, %2</source>
        <translation>记录组 %1，%2</translation>
    </message>
    <message>
        <source>No run has a start time: the time axis shows the time since the start.</source>
        <translation>没有记录组带开始时间：时间轴显示自开始起的时间。</translation>
    </message>
    <message>
        <source>The time axis is the clock of run %1; the other runs are laid over it.</source>
        <translation>时间轴为记录组 %1 的时钟；其他记录组叠加于其上。</translation>
    </message>
    <message>
        <source>There is no run %1 to take as the reference.</source>
        <translation>没有可作为参考的记录组 %1。</translation>
    </message>
    <message>
        <source>Reference band ±%1 %</source>
        <translation>参考带 ±%1 %</translation>
    </message>
    <message>
        <source>Clock time</source>
        <translation>时钟时间</translation>
    </message>
    <message>
        <source>Clock time (hh:mm:ss)</source>
        <translation>时钟时间 (hh:mm:ss)</translation>
    </message>
    <message>
        <source>Time since the exposure window's start (h:mm:ss)</source>
        <translation>自曝光窗口开始的时间 (h:mm:ss)</translation>
    </message>
    <message>
        <source>Time since the start (h:mm:ss)</source>
        <translation>自开始的时间 (h:mm:ss)</translation>
    </message>
    <message>
        <source>Time since the exposure window's start (s)</source>
        <translation>自曝光窗口开始的时间 (秒)</translation>
    </message>
    <message>
        <source>Time since the start (s)</source>
        <translation>自开始的时间 (秒)</translation>
    </message>
    <message>
        <source>Irradiance (%1)</source>
        <translation>辐照度 (%1)</translation>
    </message>
    <message>
        <source>... and %1 more runs</source>
        <translation>……以及另外 %1 条运行</translation>
    </message>
</context>
<context>
    <name>SaveFailures</name>
    <message>
        <source>Storing data failed, the template %1 is larger than %2 MB!</source>
        <translation>保存数据失败，模板 %1 大于 %2 MB！</translation>
    </message>
    <message>
        <source>Storing data failed, the template %1 cannot be used!</source>
        <translation>保存数据失败，无法使用模板 %1！</translation>
    </message>
    <message>
        <source>Storing data failed, Can't open file!</source>
        <translation>保存数据失败，无法打开文件！</translation>
    </message>
    <message>
        <source>error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Can't overwrite this file, maybe the file is in use!</source>
        <translation>无法覆盖此文件，文件可能正在使用！</translation>
    </message>
</context>
<context>
    <name>StartOptions</name>
    <message>
        <source>work with a simulated instrument instead of a real one</source>
        <translation>使用模拟仪器代替真实仪器</translation>
    </message>
    <message>
        <source>write the program's trace lines to standard error</source>
        <translation>将程序的跟踪信息写到标准错误输出</translation>
    </message>
    <message>
        <source>print this text and end</source>
        <translation>显示本说明并退出</translation>
    </message>
    <message>
        <source>print the program's version and end</source>
        <translation>显示程序版本并退出</translation>
    </message>
    <message>
        <source>The companion program of the Meter and Logger hand-held UV radiometers:
it reads and sets the instrument's settings and clock, downloads its
measurements, shows and saves them and prints test reports.</source>
        <translation>Meter 与 Logger 系列手持式紫外辐照计的配套程序：
读取和设置仪器的参数与时钟，下载测量数据，
显示、保存数据并打印测试报告。</translation>
    </message>
    <message>
        <source>Options:</source>
        <translation>选项：</translation>
    </message>
    <message>
        <source>One copy runs per user: a second start brings its window to the front.</source>
        <translation>每个用户只运行一个副本：再次启动时将已运行程序的窗口置于前台。</translation>
    </message>
    <message>
        <source>See also vantrel(1) and vantrel-cli(1).</source>
        <translation>另见 vantrel(1) 和 vantrel-cli(1)。</translation>
    </message>
    <message>
        <source>Usage: vantrel [--simulate meter|logger|PROFILE] [--debug] [FILE]</source>
        <translation>用法：vantrel [--simulate meter|logger|PROFILE] [--debug] [文件]</translation>
    </message>
    <message>
        <source>FILE: a measurement file saved by the program or vantrel-cli (JSON,
CSV, .xls, .xlsx), shown without the instrument.</source>
        <translation>文件：由本程序或 vantrel-cli 保存的测量文件（JSON、CSV、
.xls、.xlsx），无需仪器即可显示。</translation>
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
<context>
    <name>UVPowerCurvePageForLogger</name>
    <message>
        <source>UV Power Curve</source>
        <translation>紫外功率曲线</translation>
    </message>
    <message>
        <source>Coordinate Axis Set</source>
        <translation>坐标轴设置</translation>
    </message>
    <message>
        <source>Auto Set</source>
        <translation>自动设置</translation>
    </message>
    <message>
        <source>Time:</source>
        <translation>时间：</translation>
    </message>
    <message>
        <source>Elapsed time</source>
        <translation>经过时间</translation>
    </message>
    <message>
        <source>Clock time</source>
        <translation>时钟时间</translation>
    </message>
    <message>
        <source>Align at:</source>
        <translation>对齐：</translation>
    </message>
    <message>
        <source>Starts</source>
        <translation>起点</translation>
    </message>
    <message>
        <source>Exposure windows</source>
        <translation>曝光窗口</translation>
    </message>
    <message>
        <source>Between the markers</source>
        <translation>标记之间</translation>
    </message>
    <message>
        <source>Dose rule:</source>
        <translation>剂量规则：</translation>
    </message>
    <message>
        <source>Threshold</source>
        <translation>阈值</translation>
    </message>
    <message>
        <source>Reference</source>
        <translation>参考</translation>
    </message>
    <message>
        <source>Tolerance:</source>
        <translation>容差：</translation>
    </message>
    <message>
        <source> %</source>
        <translation> %</translation>
    </message>
    <message>
        <source>From file...</source>
        <translation>从文件...</translation>
    </message>
    <message>
        <source>Export...</source>
        <translation>导出...</translation>
    </message>
    <message>
        <source>No reference</source>
        <translation>无参考</translation>
    </message>
    <message>
        <source>Run %1</source>
        <translation>记录组 %1</translation>
    </message>
    <message>
        <source>%1, run %2</source>
        <translation>%1，记录组 %2</translation>
    </message>
    <message>
        <source>Reference: %1</source>
        <translation>参考：%1</translation>
    </message>
    <message>
        <source>Run %1 has no samples.</source>
        <translation>记录组 %1 没有采样数据。</translation>
    </message>
    <message>
        <source>From %1 s to %2 s: %3 s</source>
        <translation>从 %1 s 到 %2 s：%3 s</translation>
    </message>
    <message>
        <source>Mean: %1 %2</source>
        <translation>平均值：%1 %2</translation>
    </message>
    <message>
        <source>none</source>
        <translation>无</translation>
    </message>
    <message>
        <source>Peak: %1 %2</source>
        <translation>峰值：%1 %2</translation>
    </message>
    <message>
        <source>Rule: %1</source>
        <translation>规则：%1</translation>
    </message>
    <message>
        <source>Whole run above %1 %2: %3 s</source>
        <translation>全程高于 %1 %2：%3 s</translation>
    </message>
    <message>
        <source>%1: %2 % inside the band</source>
        <translation>%1：%2 % 在容差带内</translation>
    </message>
    <message>
        <source>%1: no time in common with the reference</source>
        <translation>%1：与参考没有重叠的时间</translation>
    </message>
    <message>
        <source>Open a reference run</source>
        <translation>打开参考记录组</translation>
    </message>
    <message>
        <source>Measurement files (*.json *.csv *.xls *.xlsx)</source>
        <translation>测量文件 (*.json *.csv *.xls *.xlsx)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>所有文件 (*)</translation>
    </message>
    <message>
        <source>%1 holds no Logger run.</source>
        <translation>%1 中没有 Logger 记录组。</translation>
    </message>
    <message>
        <source>Export the plot</source>
        <translation>导出曲线图</translation>
    </message>
    <message>
        <source>error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>The samples come from a file that keeps them with one decimal.</source>
        <translation>采样值来自只保留一位小数的文件。</translation>
    </message>
    <message>
        <source>Dose: %1 %2</source>
        <translation>剂量：%1 %2</translation>
    </message>
    <message>
        <source>Whole run: %1 %2</source>
        <translation>整组剂量：%1 %2</translation>
    </message>
    <message>
        <source>Window: %1 s to %2 s</source>
        <translation>曝光窗口：%1 秒至 %2 秒</translation>
    </message>
    <message>
        <source>Window: none</source>
        <translation>曝光窗口：无</translation>
    </message>
</context>
<context>
    <name>UvFigures</name>
    <message numerus="yes">
        <source>%n sample(s) were no number and are left out as gaps</source>
        <translation><numerusform>%n 个采样值不是数字，作为空缺不计入</numerusform></translation>
    </message>
    <message numerus="yes">
        <source>%n sample(s) were below zero and count as 0</source>
        <translation><numerusform>%n 个采样值小于零，按 0 计</numerusform></translation>
    </message>
    <message>
        <source>Figures of this run: %1.</source>
        <translation>本组数据的参数：%1。</translation>
    </message>
</context>
<context>
    <name>Verdict</name>
    <message>
        <source>"%1" is no limit KEY=NUMBER.</source>
        <translation>“%1”不是 键=数值 形式的限值。</translation>
    </message>
    <message>
        <source>The limit %1 is given twice.</source>
        <translation>限值 %1 给出了两次。</translation>
    </message>
    <message>
        <source>There is no limit "%1"; the limits are dose-min, dose-max, peak-min, peak-max, time-above-min and threshold.</source>
        <translation>没有限值“%1”；限值有 dose-min、dose-max、peak-min、peak-max、time-above-min 和 threshold。</translation>
    </message>
    <message>
        <source>A minimum is above its maximum.</source>
        <translation>最小值大于其最大值。</translation>
    </message>
    <message>
        <source>time-above-min needs a threshold.</source>
        <translation>time-above-min 需要阈值（threshold）。</translation>
    </message>
</context>
<context>
    <name>WorkbookLayout</name>
    <message>
        <source>Sheet "%1", row %2: the serial number "%3" is no whole number.</source>
        <translation>工作表“%1”第 %2 行：序列号“%3”不是整数。</translation>
    </message>
    <message>
        <source>Sheet "%1", row %2: "%3" is no precision of samples.</source>
        <translation>工作表“%1”第 %2 行：“%3”不是采样值的精度。</translation>
    </message>
    <message>
        <source>Sheet "%1", row %2: a run's number, interval and samples must be whole numbers.</source>
        <translation>工作表“%1”第 %2 行：数据组的编号、间隔和采样数必须是整数。</translation>
    </message>
</context>
</TS>