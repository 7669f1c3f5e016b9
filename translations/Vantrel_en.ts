<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en_US">
<context>
    <name>Archive</name>
    <message>
        <source>The archive connection holds a password. Keep it in the password file (~/.pgpass) or the service file instead.</source>
        <translation>The archive connection holds a password. Keep it in the password file (~/.pgpass) or the service file instead.</translation>
    </message>
    <message>
        <source>Cannot connect to the archive server: %1</source>
        <translation>Cannot connect to the archive server: %1</translation>
    </message>
    <message>
        <source>The archive %1 is not a file.</source>
        <translation>The archive %1 is not a file.</translation>
    </message>
    <message>
        <source>Cannot read the archive %1: %2</source>
        <translation>Cannot read the archive %1: %2</translation>
    </message>
    <message>
        <source>%1 is no archive: it is not an SQLite database. It was left as it was.</source>
        <translation>%1 is no archive: it is not an SQLite database. It was left as it was.</translation>
    </message>
    <message>
        <source>Cannot open the archive %1: %2</source>
        <translation>Cannot open the archive %1: %2</translation>
    </message>
    <message>
        <source>The archive %1 is damaged (%2). It was left as it was.</source>
        <translation>The archive %1 is damaged (%2). It was left as it was.</translation>
    </message>
    <message>
        <source>The archive cannot be written</source>
        <translation>The archive cannot be written</translation>
    </message>
    <message>
        <source>The archive cannot be prepared: %1</source>
        <translation>The archive cannot be prepared: %1</translation>
    </message>
    <message>
        <source>The archive's version cannot be read: %1</source>
        <translation>The archive's version cannot be read: %1</translation>
    </message>
    <message>
        <source>The archive was written by a newer version of the program (archive version %1, this program knows up to %2). It was left as it was.</source>
        <translation>The archive was written by a newer version of the program (archive version %1, this program knows up to %2). It was left as it was.</translation>
    </message>
    <message>
        <source>The database holds tables of another program; it is no archive. It was left as it was.</source>
        <translation>The database holds tables of another program; it is no archive. It was left as it was.</translation>
    </message>
    <message>
        <source>The archive cannot be brought to version %1: %2</source>
        <translation>The archive cannot be brought to version %1: %2</translation>
    </message>
    <message>
        <source>The instrument cannot be archived: %1</source>
        <translation>The instrument cannot be archived: %1</translation>
    </message>
    <message>
        <source>The archive is not open.</source>
        <translation>The archive is not open.</translation>
    </message>
    <message>
        <source>Run %1 cannot be archived: %2</source>
        <translation>Run %1 cannot be archived: %2</translation>
    </message>
    <message>
        <source>Record %1 cannot be archived: %2</source>
        <translation>Record %1 cannot be archived: %2</translation>
    </message>
    <message>
        <source>The file holds no measurement.</source>
        <translation>The file holds no measurement.</translation>
    </message>
    <message>
        <source>The archive cannot be read: %1</source>
        <translation>The archive cannot be read: %1</translation>
    </message>
    <message>
        <source>The archive holds no run %1.</source>
        <translation>The archive holds no run %1.</translation>
    </message>
    <message>
        <source>The archive %1 is read-only: it can be listed and its runs exported, but it takes no imports.</source>
        <translation>The archive %1 is read-only: it can be listed and its runs exported, but it takes no imports.</translation>
    </message>
    <message>
        <source>The archive %1 is read-only and of an older version (%2): it can be read once a program that may write it has brought it up to date.</source>
        <translation>The archive %1 is read-only and of an older version (%2): it can be read once a program that may write it has brought it up to date.</translation>
    </message>
    <message>
        <source>The archive connection is a postgresql:// address that cannot be read.</source>
        <translation>The archive connection is a postgresql:// address that cannot be read.</translation>
    </message>
    <message>
        <source>The archive connection looks like a connection string (key=value) but cannot be read: a quote is not closed or a word is not key=value.</source>
        <translation>The archive connection looks like a connection string (key=value) but cannot be read: a quote is not closed or a word is not key=value.</translation>
    </message>
    <message>
        <source>The archive connection is neither a PostgreSQL database nor an SQLite file.</source>
        <translation>The archive connection is neither a PostgreSQL database nor an SQLite file.</translation>
    </message>
    <message>
        <source>A PostgreSQL database is given by key=value words ("service=lab", "host=db.lab dbname=vantrel") or by a postgresql:// address; an SQLite file by an absolute path, a path starting with ./ or ~/, or a name ending in .sqlite or .db.</source>
        <translation>A PostgreSQL database is given by key=value words ("service=lab", "host=db.lab dbname=vantrel") or by a postgresql:// address; an SQLite file by an absolute path, a path starting with ./ or ~/, or a name ending in .sqlite or .db.</translation>
    </message>
    <message>
        <source>the SQLite file %1</source>
        <translation>the SQLite file %1</translation>
    </message>
    <message>
        <source>the PostgreSQL database %1</source>
        <translation>the PostgreSQL database %1</translation>
    </message>
    <message>
        <source>This computer has no PostgreSQL driver for Qt: install the package libqt5sql5-psql (sudo apt install libqt5sql5-psql).</source>
        <translation>This computer has no PostgreSQL driver for Qt: install the package libqt5sql5-psql (sudo apt install libqt5sql5-psql).</translation>
    </message>
    <message>
        <source>The archive is locked by another program: %1</source>
        <translation>The archive is locked by another program: %1</translation>
    </message>
    <message>
        <source>The archive %1 is locked by another program, which held it longer than the program waits: %2</source>
        <translation>The archive %1 is locked by another program, which held it longer than the program waits: %2</translation>
    </message>
    <message>
        <source>The archive server's disk is full: %1</source>
        <translation>The archive server's disk is full: %1</translation>
    </message>
    <message>
        <source>The disk holding the archive %1 is full: %2</source>
        <translation>The disk holding the archive %1 is full: %2</translation>
    </message>
    <message>
        <source>The archive server cannot be reached any more: %1</source>
        <translation>The archive server cannot be reached any more: %1</translation>
    </message>
</context>
<context>
    <name>ArchiveConnectionDialog</name>
    <message>
        <source>Archive connection</source>
        <translation>Archive connection</translation>
    </message>
    <message>
        <source>Connection:</source>
        <translation>Connection:</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>Test</translation>
    </message>
    <message>
        <source>The archive cannot be used: %1</source>
        <translation>The archive cannot be used: %1</translation>
    </message>
    <message>
        <source>The archive can be read, but it is read-only: downloads will not be archived.</source>
        <translation>The archive can be read, but it is read-only: downloads will not be archived.</translation>
    </message>
    <message>
        <source>The archive works: %1.</source>
        <translation>The archive works: %1.</translation>
    </message>
    <message>
        <source>%1

Keep this connection all the same? Downloads are archived there only once it can be used.</source>
        <translation>%1

Keep this connection all the same? Downloads are archived there only once it can be used.</translation>
    </message>
    <message>
        <source>Empty: this computer's own archive file (shown above in grey). Another SQLite file by its full path, or a PostgreSQL server by a connection string ("service=lab", "host=db.lab dbname=vantrel") or an address postgresql://user@db.lab/vantrel. No password is kept here: put it in the PostgreSQL password file ~/.pgpass.</source>
        <translation>Empty: this computer's own archive file (shown above in grey). Another SQLite file by its full path, or a PostgreSQL server by a connection string ("service=lab", "host=db.lab dbname=vantrel") or an address postgresql://user@db.lab/vantrel. No password is kept here: put it in the PostgreSQL password file ~/.pgpass.</translation>
    </message>
</context>
<context>
    <name>ArchiveKeeper</name>
    <message>
        <source>Archive</source>
        <translation>Archive</translation>
    </message>
    <message>
        <source>History...</source>
        <translation>History...</translation>
    </message>
    <message>
        <source>Archive every download</source>
        <translation>Archive every download</translation>
    </message>
    <message>
        <source>The download was not archived: %1
It stays on the page and can still be saved.</source>
        <translation>The download was not archived: %1
It stays on the page and can still be saved.</translation>
    </message>
    <message>
        <source>Archive connection...</source>
        <translation>Archive connection...</translation>
    </message>
    <message>
        <source>Archive (%1 waiting)</source>
        <translation>Archive (%1 waiting)</translation>
    </message>
    <message>
        <source>%1 runs or records wait for the archive: %2</source>
        <translation>%1 runs or records wait for the archive: %2</translation>
    </message>
    <message>
        <source>The download was not archived: %1
It waits in the archive's local queue (%2 runs or records in all) and is sent at the next download or when the program starts. It stays on the page and can still be saved.</source>
        <translation>The download was not archived: %1
It waits in the archive's local queue (%2 runs or records in all) and is sent at the next download or when the program starts. It stays on the page and can still be saved.</translation>
    </message>
</context>
<context>
    <name>ArchiveQueue</name>
    <message>
        <source>The archive connection names no archive: nothing can wait for it.</source>
        <translation>The archive connection names no archive: nothing can wait for it.</translation>
    </message>
    <message>
        <source>The download holds no measurement.</source>
        <translation>The download holds no measurement.</translation>
    </message>
    <message>
        <source>The download cannot be queued in %1: %2</source>
        <translation>The download cannot be queued in %1: %2</translation>
    </message>
    <message>
        <source>larger than a download</source>
        <translation>larger than a download</translation>
    </message>
    <message>
        <source>The queue %1 cannot be locked.</source>
        <translation>The queue %1 cannot be locked.</translation>
    </message>
    <message>
        <source>A queued download cannot be read: %1</source>
        <translation>A queued download cannot be read: %1</translation>
    </message>
    <message>
        <source>It cannot be queued either: %1</source>
        <translation>It cannot be queued either: %1</translation>
    </message>
</context>
<context>
    <name>CommandTexts</name>
    <message>
        <source>读取主机基本配置信息写端口失败！</source>
        <translation>Reading the instrument settings: the request could not be sent!</translation>
    </message>
    <message>
        <source>读取主机基本配置信息接收端口报文失败！</source>
        <translation>Reading the instrument settings: no answer was received!</translation>
    </message>
    <message>
        <source>读取主机基本配置信息接收的报文格式错误！</source>
        <translation>Reading the instrument settings: the answer is malformed!</translation>
    </message>
    <message>
        <source>主机基本配置信息的Checksum不正确！</source>
        <translation>The checksum of the instrument settings is wrong!</translation>
    </message>
    <message>
        <source>写主机基本配置信息写端口失败！</source>
        <translation>Writing the instrument settings: the request could not be sent!</translation>
    </message>
    <message>
        <source>写主机基本配置信息没有接收到报文！</source>
        <translation>Writing the instrument settings: no answer was received!</translation>
    </message>
    <message>
        <source>写主机基本配置信息接收到的报文有错误！</source>
        <translation>Writing the instrument settings: the answer is faulty!</translation>
    </message>
    <message>
        <source>读取主机时间配置信息写端口失败！</source>
        <translation>Reading the instrument clock: the request could not be sent!</translation>
    </message>
    <message>
        <source>读取主机时间配置信息接收端口报文失败！</source>
        <translation>Reading the instrument clock: no answer was received!</translation>
    </message>
    <message>
        <source>读取主机时间配置信息接收的报文格式错误！</source>
        <translation>Reading the instrument clock: the answer is malformed!</translation>
    </message>
    <message>
        <source>写主机时间配置信息写端口失败！</source>
        <translation>Setting the instrument clock: the request could not be sent!</translation>
    </message>
    <message>
        <source>写主机时间配置信息没有接收到报文！</source>
        <translation>Setting the instrument clock: no answer was received!</translation>
    </message>
    <message>
        <source>写主机时间配置信息接收到的报文有错误！</source>
        <translation>Setting the instrument clock: the answer is faulty!</translation>
    </message>
    <message>
        <source>读取生产信息写端口失败！</source>
        <translation>Reading the production information: the request could not be sent!</translation>
    </message>
    <message>
        <source>读取生产信息接收端口报文失败！</source>
        <translation>Reading the production information: no answer was received!</translation>
    </message>
    <message>
        <source>读取生产信息接收的报文格式错误！</source>
        <translation>Reading the production information: the answer is malformed!</translation>
    </message>
    <message>
        <source>读取生产信息checksum错误！</source>
        <translation>Reading the production information: checksum error!</translation>
    </message>
    <message>
        <source>读取调校日期写端口失败！</source>
        <translation>Reading the calibration date: the request could not be sent!</translation>
    </message>
    <message>
        <source>读取调校日期接收端口报文失败！</source>
        <translation>Reading the calibration date: no answer was received!</translation>
    </message>
    <message>
        <source>读取调校日期接收的报文格式错误！</source>
        <translation>Reading the calibration date: the answer is malformed!</translation>
    </message>
    <message>
        <source>读取调校日期checksum错误！</source>
        <translation>Reading the calibration date: checksum error!</translation>
    </message>
    <message>
        <source>读取软件版本写端口失败！</source>
        <translation>Reading the firmware version: the request could not be sent!</translation>
    </message>
    <message>
        <source>读取软件版本接收端口报文失败！</source>
        <translation>Reading the firmware version: no answer was received!</translation>
    </message>
    <message>
        <source>读取软件版本接收的报文格式错误！</source>
        <translation>Reading the firmware version: the answer is malformed!</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>information</translation>
    </message>
</context>
<context>
    <name>CurveExportDialog</name>
    <message>
        <source>%1 files (%2)</source>
        <translation>%1 files (%2)</translation>
    </message>
    <message>
        <source>Export the plot</source>
        <translation>Export the plot</translation>
    </message>
    <message>
        <source>Format:</source>
        <translation>Format:</translation>
    </message>
    <message>
        <source>Width:</source>
        <translation>Width:</translation>
    </message>
    <message>
        <source>Height:</source>
        <translation>Height:</translation>
    </message>
    <message>
        <source>Resolution:</source>
        <translation>Resolution:</translation>
    </message>
    <message>
        <source> px</source>
        <translation> px</translation>
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
        <translation>Form</translation>
    </message>
    <message>
        <source>Device information</source>
        <translation>Device information</translation>
    </message>
    <message>
        <source>SN:</source>
        <translation>SN:</translation>
    </message>
    <message>
        <source>Production Date:</source>
        <translation>Production Date:</translation>
    </message>
    <message>
        <source>Calibration Date:</source>
        <translation>Calibration Date:</translation>
    </message>
    <message>
        <source>Device Name:</source>
        <translation>Device Name:</translation>
    </message>
    <message>
        <source>Firmware Version:</source>
        <translation>Firmware Version:</translation>
    </message>
    <message>
        <source>Setup parameter</source>
        <translation>Setup parameter</translation>
    </message>
    <message>
        <source>Auto Off</source>
        <translation>Auto Off</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>OFF</translation>
    </message>
    <message>
        <source>ON</source>
        <translation>ON</translation>
    </message>
    <message>
        <source>Shutdown</source>
        <translation>Shutdown</translation>
    </message>
    <message>
        <source>10</source>
        <translation>10</translation>
    </message>
    <message>
        <source>Minute</source>
        <translation>Minute</translation>
    </message>
    <message>
        <source>Storage Interval</source>
        <translation>Storage Interval</translation>
    </message>
    <message>
        <source>1S</source>
        <translation>1S</translation>
    </message>
    <message>
        <source>10S</source>
        <translation>10S</translation>
    </message>
    <message>
        <source>60S</source>
        <translation>60S</translation>
    </message>
    <message>
        <source>Setup</source>
        <translation>Setup</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>Setup Date/Time</source>
        <translation>Setup Date/Time</translation>
    </message>
    <message>
        <source>Date/Time：</source>
        <translation>Date/Time：</translation>
    </message>
    <message>
        <source>Setup </source>
        <translation>Setup </translation>
    </message>
    <message>
        <source>Read </source>
        <translation>Read </translation>
    </message>
    <message>
        <source>Get Data</source>
        <translation>Get Data</translation>
    </message>
    <message>
        <source>Save Data</source>
        <translation>Save Data</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>NO</source>
        <translation>NO</translation>
    </message>
    <message>
        <source>StartTime</source>
        <translation>StartTime</translation>
    </message>
    <message>
        <source>Duration(S)</source>
        <translation>Duration(S)</translation>
    </message>
    <message>
        <source>Power(REC) (μW/cm²)</source>
        <translation>Power(REC) (μW/cm²)</translation>
    </message>
    <message>
        <source>Power(MAX) (μW/cm²)</source>
        <translation>Power(MAX) (μW/cm²)</translation>
    </message>
    <message>
        <source>Power(MIN) (μW/cm²)</source>
        <translation>Power(MIN) (μW/cm²)</translation>
    </message>
    <message>
        <source>Power(AVG) (μW/cm²)</source>
        <translation>Power(AVG) (μW/cm²)</translation>
    </message>
    <message>
        <source>Vantrel Instruments</source>
        <translation>Vantrel Instruments</translation>
    </message>
    <message>
        <source>www.vantrel.example</source>
        <translation>www.vantrel.example</translation>
    </message>
    <message>
        <source>information</source>
        <translation>information</translation>
    </message>
    <message>
        <source>Getting data,please wait...</source>
        <translation>Getting data,please wait...</translation>
    </message>
    <message>
        <source>warn</source>
        <translation>warn</translation>
    </message>
    <message>
        <source>Please Connecting instrument!</source>
        <translation>Please Connecting instrument!</translation>
    </message>
    <message>
        <source>Read Storage Interval Error!</source>
        <translation>Read Storage Interval Error!</translation>
    </message>
    <message>
        <source>Getting data outtime,please get again.</source>
        <translation>Getting data outtime,please get again.</translation>
    </message>
    <message>
        <source>please get data first!</source>
        <translation>please get data first!</translation>
    </message>
    <message>
        <source>Please get data first!</source>
        <translation>Please get data first!</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
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
        <translation>The instrument was disconnected.</translation>
    </message>
    <message>
        <source>The instrument was disconnected during the download. Runs kept: %1.</source>
        <translation>The instrument was disconnected during the download. Runs kept: %1.</translation>
    </message>
    <message>
        <source>The instrument holds %1 runs; the first %2 were downloaded.</source>
        <translation>The instrument holds %1 runs; the first %2 were downloaded.</translation>
    </message>
</context>
<context>
    <name>FirstPageForMeter</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Device information</source>
        <translation>Device information</translation>
    </message>
    <message>
        <source>SN:</source>
        <translation>SN:</translation>
    </message>
    <message>
        <source>Production Date:</source>
        <translation>Production Date:</translation>
    </message>
    <message>
        <source>Calibration Date:</source>
        <translation>Calibration Date:</translation>
    </message>
    <message>
        <source>Device Name:</source>
        <translation>Device Name:</translation>
    </message>
    <message>
        <source>Firmware Version:</source>
        <translation>Firmware Version:</translation>
    </message>
    <message>
        <source>Setup parameter</source>
        <translation>Setup parameter</translation>
    </message>
    <message>
        <source>Auto Off</source>
        <translation>Auto Off</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>OFF</translation>
    </message>
    <message>
        <source>ON</source>
        <translation>ON</translation>
    </message>
    <message>
        <source>Smooth</source>
        <translation>Smooth</translation>
    </message>
    <message>
        <source> OFF </source>
        <translation> OFF </translation>
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
        <translation>Unit</translation>
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
        <translation>Energy Display</translation>
    </message>
    <message>
        <source>No</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Setup</source>
        <translation>Setup</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>Get Data</source>
        <translation>Get Data</translation>
    </message>
    <message>
        <source>Save Data</source>
        <translation>Save Data</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>NO</source>
        <translation>NO</translation>
    </message>
    <message>
        <source>Energy</source>
        <translation>Energy</translation>
    </message>
    <message>
        <source>Duration(S)</source>
        <translation>Duration(S)</translation>
    </message>
    <message>
        <source>Power(RT)</source>
        <translation>Power(RT)</translation>
    </message>
    <message>
        <source>Power(MAX) </source>
        <translation>Power(MAX) </translation>
    </message>
    <message>
        <source>Power(MIN)</source>
        <translation>Power(MIN)</translation>
    </message>
    <message>
        <source>Power(AVG)</source>
        <translation>Power(AVG)</translation>
    </message>
    <message>
        <source>Vantrel Instruments</source>
        <translation>Vantrel Instruments</translation>
    </message>
    <message>
        <source>www.vantrel.example</source>
        <translation>www.vantrel.example</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>information</source>
        <translation>information</translation>
    </message>
    <message>
        <source>Getting data,please wait...</source>
        <translation>Getting data,please wait...</translation>
    </message>
    <message>
        <source>Warn</source>
        <translation>Warn</translation>
    </message>
    <message>
        <source>No probe connection!</source>
        <translation>No probe connection!</translation>
    </message>
    <message>
        <source>warn</source>
        <translation>warn</translation>
    </message>
    <message>
        <source>Please Connecting instrument!</source>
        <translation>Please Connecting instrument!</translation>
    </message>
    <message>
        <source>Vantrel V2.1</source>
        <translation>Vantrel V2.1</translation>
    </message>
    <message>
        <source>Resetting the parameter history data will be cleared.</source>
        <translation>Resetting the parameter history data will be cleared.</translation>
    </message>
    <message>
        <source>Getting data outtime,please get again.</source>
        <translation>Getting data outtime,please get again.</translation>
    </message>
    <message>
        <source>Probe connection!</source>
        <translation>Probe connection!</translation>
    </message>
    <message>
        <source>Please get data first!</source>
        <translation>Please get data first!</translation>
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
        <translation>The instrument was disconnected.</translation>
    </message>
    <message>
        <source>The instrument was disconnected during the download. Records kept: %1.</source>
        <translation>The instrument was disconnected during the download. Records kept: %1.</translation>
    </message>
    <message>
        <source>%1 of %2 records arrived; failed and left out: %3.</source>
        <translation>%1 of %2 records arrived; failed and left out: %3.</translation>
    </message>
</context>
<context>
    <name>HistoryDialog</name>
    <message>
        <source>History</source>
        <translation>History</translation>
    </message>
    <message>
        <source>Serial number:</source>
        <translation>Serial number:</translation>
    </message>
    <message>
        <source>From:</source>
        <translation>From:</translation>
    </message>
    <message>
        <source>Until:</source>
        <translation>Until:</translation>
    </message>
    <message>
        <source>any</source>
        <translation>any</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>Open run</source>
        <translation>Open run</translation>
    </message>
    <message>
        <source>Instrument / start</source>
        <translation>Instrument / start</translation>
    </message>
    <message>
        <source>Run / record</source>
        <translation>Run / record</translation>
    </message>
    <message>
        <source>Samples</source>
        <translation>Samples</translation>
    </message>
    <message>
        <source>Duration (s)</source>
        <translation>Duration (s)</translation>
    </message>
    <message>
        <source>Dose (mJ/cm²) / energy</source>
        <translation>Dose (mJ/cm²) / energy</translation>
    </message>
    <message>
        <source>Peak (μW/cm²) / MAX</source>
        <translation>Peak (μW/cm²) / MAX</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Source</translation>
    </message>
    <message>
        <source>Dose (mJ/cm²)</source>
        <translation>Dose (mJ/cm²)</translation>
    </message>
    <message>
        <source>Peak (μW/cm²)</source>
        <translation>Peak (μW/cm²)</translation>
    </message>
    <message>
        <source>Start of the run</source>
        <translation>Start of the run</translation>
    </message>
    <message>
        <source>Instrument not named</source>
        <translation>Instrument not named</translation>
    </message>
    <message>
        <source>%1, serial number %2</source>
        <translation>%1, serial number %2</translation>
    </message>
    <message>
        <source>Logger</source>
        <translation>Logger</translation>
    </message>
    <message>
        <source>Meter</source>
        <translation>Meter</translation>
    </message>
    <message>
        <source>no start time</source>
        <translation>no start time</translation>
    </message>
    <message>
        <source>run %1</source>
        <translation>run %1</translation>
    </message>
    <message>
        <source>record %1</source>
        <translation>record %1</translation>
    </message>
    <message>
        <source>The archive holds nothing that matches the search.</source>
        <translation>The archive holds nothing that matches the search.</translation>
    </message>
    <message numerus="yes">
        <source>%n run(s)</source>
        <translation><numerusform>%n run</numerusform><numerusform>%n runs</numerusform></translation>
    </message>
    <message numerus="yes">
        <source>%n record(s)</source>
        <translation><numerusform>%n record</numerusform><numerusform>%n records</numerusform></translation>
    </message>
    <message>
        <source>the archive (run %1)</source>
        <translation>the archive (run %1)</translation>
    </message>
    <message>
        <source>download</source>
        <translation>download</translation>
    </message>
    <message>
        <source>(The archive is read-only: downloads are not archived into it.)</source>
        <translation>(The archive is read-only: downloads are not archived into it.)</translation>
    </message>
    <message>
        <source>Meter records have no dose or peak trend; only Logger runs are plotted.</source>
        <translation>Meter records have no dose or peak trend; only Logger runs are plotted.</translation>
    </message>
    <message>
        <source>Runs without a start time are not plotted.</source>
        <translation>Runs without a start time are not plotted.</translation>
    </message>
    <message>
        <source>No runs to plot.</source>
        <translation>No runs to plot.</translation>
    </message>
</context>
<context>
    <name>InformationPageForLogger</name>
    <message>
        <source>Report</source>
        <translation>Report</translation>
    </message>
    <message>
        <source>information</source>
        <translation>information</translation>
    </message>
    <message>
        <source>Device:</source>
        <translation>Device:</translation>
    </message>
    <message>
        <source>SN:</source>
        <translation>SN:</translation>
    </message>
    <message>
        <source>Start Time:</source>
        <translation>Start Time:</translation>
    </message>
    <message>
        <source>Duration:</source>
        <translation>Duration:</translation>
    </message>
    <message>
        <source>Test Light:</source>
        <translation>Test Light:</translation>
    </message>
    <message>
        <source>Company:</source>
        <translation>Company:</translation>
    </message>
    <message>
        <source>Tester:</source>
        <translation>Tester:</translation>
    </message>
    <message>
        <source>Auditor:</source>
        <translation>Auditor:</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>InformationPageForMeter</name>
    <message>
        <source>Report</source>
        <translation>Report</translation>
    </message>
    <message>
        <source>information</source>
        <translation>information</translation>
    </message>
    <message>
        <source>Device:</source>
        <translation>Device:</translation>
    </message>
    <message>
        <source>SN:</source>
        <translation>SN:</translation>
    </message>
    <message>
        <source>Test Light:</source>
        <translation>Test Light:</translation>
    </message>
    <message>
        <source>Company:</source>
        <translation>Company:</translation>
    </message>
    <message>
        <source>Tester:</source>
        <translation>Tester:</translation>
    </message>
    <message>
        <source>Auditor:</source>
        <translation>Auditor:</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>LoggerClock</name>
    <message>
        <source>information</source>
        <translation>information</translation>
    </message>
    <message>
        <source>parameter date time error!</source>
        <translation>parameter date time error!</translation>
    </message>
    <message>
        <source>parameter date time success!</source>
        <translation>parameter date time success!</translation>
    </message>
</context>
<context>
    <name>LoggerDeviceInfo</name>
    <message>
        <source>Warn</source>
        <translation>Warn</translation>
    </message>
    <message>
        <source>Read key infomation fail!</source>
        <translation>Read key infomation fail!</translation>
    </message>
    <message>
        <source>The instrument is not configured production information!</source>
        <translation>The instrument is not configured production information!</translation>
    </message>
</context>
<context>
    <name>LoggerReport</name>
    <message>
        <source>trapezoid</source>
        <translation>trapezoid</translation>
    </message>
    <message>
        <source>sample-and-hold</source>
        <translation>sample-and-hold</translation>
    </message>
    <message>
        <source>s</source>
        <translation>s</translation>
    </message>
    <message>
        <source>UV Figures</source>
        <translation>UV Figures</translation>
    </message>
    <message>
        <source>Item</source>
        <translation>Item</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>Unit</source>
        <translation>Unit</translation>
    </message>
    <message>
        <source>Dose (%1)</source>
        <translation>Dose (%1)</translation>
    </message>
    <message>
        <source>Peak</source>
        <translation>Peak</translation>
    </message>
    <message>
        <source>Exposure window (%1% of the peak)</source>
        <translation>Exposure window (%1% of the peak)</translation>
    </message>
    <message>
        <source>Time above %1 %2</source>
        <translation>Time above %1 %2</translation>
    </message>
    <message>
        <source>Limits</source>
        <translation>Limits</translation>
    </message>
    <message>
        <source>Check</source>
        <translation>Check</translation>
    </message>
    <message>
        <source>Measured</source>
        <translation>Measured</translation>
    </message>
    <message>
        <source>Limit</source>
        <translation>Limit</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>Dose minimum</source>
        <translation>Dose minimum</translation>
    </message>
    <message>
        <source>Dose maximum</source>
        <translation>Dose maximum</translation>
    </message>
    <message>
        <source>Peak minimum</source>
        <translation>Peak minimum</translation>
    </message>
    <message>
        <source>Peak maximum</source>
        <translation>Peak maximum</translation>
    </message>
    <message>
        <source>Minimum time above %1 %2</source>
        <translation>Minimum time above %1 %2</translation>
    </message>
    <message>
        <source>PASS</source>
        <translation>PASS</translation>
    </message>
    <message>
        <source>FAIL</source>
        <translation>FAIL</translation>
    </message>
    <message>
        <source>Verdict:</source>
        <translation>Verdict:</translation>
    </message>
    <message>
        <source>The samples come from a file that keeps them with one decimal: these figures are of rounded samples.</source>
        <translation>The samples come from a file that keeps them with one decimal: these figures are of rounded samples.</translation>
    </message>
</context>
<context>
    <name>LoggerRunTable</name>
    <message>
        <source>Doses in %1</source>
        <translation>Doses in %1</translation>
    </message>
    <message>
        <source>Window (s)</source>
        <translation>Window (s)</translation>
    </message>
    <message>
        <source>Dose in %1</source>
        <translation>Dose in %1</translation>
    </message>
    <message>
        <source>Peak in %1</source>
        <translation>Peak in %1</translation>
    </message>
</context>
<context>
    <name>LoggerSave</name>
    <message>
        <source>Storing data to Excel</source>
        <translation>Storing data to Excel</translation>
    </message>
    <message>
        <source>excel file (*.xls)</source>
        <translation>excel file (*.xls)</translation>
    </message>
    <message>
        <source>excel file (*.xlsx)</source>
        <translation>excel file (*.xlsx)</translation>
    </message>
    <message>
        <source>CSV (*.csv)</source>
        <translation>CSV (*.csv)</translation>
    </message>
    <message>
        <source>export</source>
        <translation>export</translation>
    </message>
    <message>
        <source>Export data failed!</source>
        <translation>Export data failed!</translation>
    </message>
    <message>
        <source>error</source>
        <translation>error</translation>
    </message>
    <message>
        <source>No data for Storing to Excel!</source>
        <translation>No data for Storing to Excel!</translation>
    </message>
    <message>
        <source>Storing data</source>
        <translation>Storing data</translation>
    </message>
    <message>
        <source>Storing data failed, Can't open file!</source>
        <translation>Storing data failed, Can't open file!</translation>
    </message>
    <message>
        <source>Storing data,please wait...</source>
        <translation>Storing data,please wait...</translation>
    </message>
    <message>
        <source>cancel</source>
        <translation>cancel</translation>
    </message>
    <message>
        <source>Excel file (*.xls)</source>
        <translation>Excel file (*.xls)</translation>
    </message>
    <message>
        <source>Excel file (*.xlsx)</source>
        <translation>Excel file (*.xlsx)</translation>
    </message>
    <message>
        <source>information</source>
        <translation>information</translation>
    </message>
    <message>
        <source>Save file success!</source>
        <translation>Save file success!</translation>
    </message>
    <message>
        <source>Save data file fail!</source>
        <translation>Save data file fail!</translation>
    </message>
    <message>
        <source>Create data file fail!</source>
        <translation>Create data file fail!</translation>
    </message>
    <message>
        <source>Saving Excel data, please wait</source>
        <translation>Saving Excel data, please wait</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Storing data failed, Can't open sheet!</source>
        <translation>Storing data failed, Can't open sheet!</translation>
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
        <translation>Resetting the parameter history data will be cleared.</translation>
    </message>
    <message>
        <source>information</source>
        <translation>information</translation>
    </message>
    <message>
        <source>Shutdown must between 1—10!</source>
        <translation>Shutdown must between 1—10!</translation>
    </message>
    <message>
        <source>parameter configuration Error!</source>
        <translation>parameter configuration Error!</translation>
    </message>
    <message>
        <source>parameter configuration success!</source>
        <translation>parameter configuration success!</translation>
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
    <message>
        <source>Device already opened.</source>
        <translation>Device already opened.</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
</context>
<context>
    <name>MeasurementFile</name>
    <message>
        <source>not an object</source>
        <translation>not an object</translation>
    </message>
    <message>
        <source>not a time YYYY-MM-DDTHH:MM:SS</source>
        <translation>not a time YYYY-MM-DDTHH:MM:SS</translation>
    </message>
    <message>
        <source>not a unit of the Meter</source>
        <translation>not a unit of the Meter</translation>
    </message>
    <message>
        <source>missing</source>
        <translation>missing</translation>
    </message>
    <message>
        <source>This is no JSON file (at byte %1: %2).</source>
        <translation>This is no JSON file (at byte %1: %2).</translation>
    </message>
    <message>
        <source>This JSON file was not written by Vantrel.</source>
        <translation>This JSON file was not written by Vantrel.</translation>
    </message>
    <message>
        <source>This file was written by a newer Vantrel (format version %1); this version reads format version %2.</source>
        <translation>This file was written by a newer Vantrel (format version %1); this version reads format version %2.</translation>
    </message>
    <message>
        <source>neither "logger" nor "meter"</source>
        <translation>neither "logger" nor "meter"</translation>
    </message>
    <message>
        <source>The file is damaged: %1.</source>
        <translation>The file is damaged: %1.</translation>
    </message>
    <message>
        <source>%1 s, but the %2 samples at %3 s cover %4 s</source>
        <translation>%1 s, but the %2 samples at %3 s cover %4 s</translation>
    </message>
</context>
<context>
    <name>MeasurementFile::Reader</name>
    <message>
        <source>not a number</source>
        <translation>not a number</translation>
    </message>
    <message>
        <source>not a whole number from %1 to %2</source>
        <translation>not a whole number from %1 to %2</translation>
    </message>
    <message>
        <source>missing, or not a list</source>
        <translation>missing, or not a list</translation>
    </message>
    <message>
        <source>more than %1 entries</source>
        <translation>more than %1 entries</translation>
    </message>
</context>
<context>
    <name>MeasurementReader</name>
    <message>
        <source>%1: %2 values instead of 7.</source>
        <translation>%1: %2 values instead of 7.</translation>
    </message>
    <message>
        <source>%1: the record number "%2" is no whole number.</source>
        <translation>%1: the record number "%2" is no whole number.</translation>
    </message>
    <message>
        <source>%1, column %2: "%3" is no number.</source>
        <translation>%1, column %2: "%3" is no number.</translation>
    </message>
    <message>
        <source>%1 does not exist.</source>
        <translation>%1 does not exist.</translation>
    </message>
    <message>
        <source>%1 is not a file.</source>
        <translation>%1 is not a file.</translation>
    </message>
    <message>
        <source>%1 cannot be opened: %2.</source>
        <translation>%1 cannot be opened: %2.</translation>
    </message>
    <message>
        <source>%1 is larger than %2 MB, more than any measurement file.</source>
        <translation>%1 is larger than %2 MB, more than any measurement file.</translation>
    </message>
    <message>
        <source>The workbook cannot be read: %1.</source>
        <translation>The workbook cannot be read: %1.</translation>
    </message>
    <message>
        <source>This is no measurement file of Vantrel (JSON, CSV, .xls or .xlsx).</source>
        <translation>This is no measurement file of Vantrel (JSON, CSV, .xls or .xlsx).</translation>
    </message>
    <message>
        <source>Line %1 of the CSV file has a quote that does not close.</source>
        <translation>Line %1 of the CSV file has a quote that does not close.</translation>
    </message>
    <message>
        <source>The CSV file is empty.</source>
        <translation>The CSV file is empty.</translation>
    </message>
    <message>
        <source>The CSV file separates its fields with another character than the comma Vantrel writes.</source>
        <translation>The CSV file separates its fields with another character than the comma Vantrel writes.</translation>
    </message>
    <message>
        <source>Line %1</source>
        <translation>Line %1</translation>
    </message>
    <message>
        <source>%1: %2 fields instead of %3.</source>
        <translation>%1: %2 fields instead of %3.</translation>
    </message>
    <message>
        <source>%1: the run number "%2" is no whole number.</source>
        <translation>%1: the run number "%2" is no whole number.</translation>
    </message>
    <message>
        <source>%1: a sample of run %2 that does not follow its run.</source>
        <translation>%1: a sample of run %2 that does not follow its run.</translation>
    </message>
    <message>
        <source>%1: the sample's time or value is no number.</source>
        <translation>%1: the sample's time or value is no number.</translation>
    </message>
    <message>
        <source>%1: "%2" is neither "run" nor "sample".</source>
        <translation>%1: "%2" is neither "run" nor "sample".</translation>
    </message>
    <message>
        <source>The CSV file was not written by Vantrel: its first line is no header Vantrel writes.</source>
        <translation>The CSV file was not written by Vantrel: its first line is no header Vantrel writes.</translation>
    </message>
    <message>
        <source>The workbook has no sheet.</source>
        <translation>The workbook has no sheet.</translation>
    </message>
    <message>
        <source>The workbook was not written by Vantrel: its first sheet does not start with the table's header.</source>
        <translation>The workbook was not written by Vantrel: its first sheet does not start with the table's header.</translation>
    </message>
    <message>
        <source>This workbook holds the samples of one run (NUM, VAL) without the run's start time and storage interval, so it cannot be shown again. Open the workbook saved with "Save Data" instead.</source>
        <translation>This workbook holds the samples of one run (NUM, VAL) without the run's start time and storage interval, so it cannot be shown again. Open the workbook saved with "Save Data" instead.</translation>
    </message>
    <message>
        <source>Sheet 1, row %1</source>
        <translation>Sheet 1, row %1</translation>
    </message>
    <message>
        <source>The workbook has no sheet with the samples of run %1.</source>
        <translation>The workbook has no sheet with the samples of run %1.</translation>
    </message>
    <message>
        <source>Sheet %1, row %2: "%3" is no number.</source>
        <translation>Sheet %1, row %2: "%3" is no number.</translation>
    </message>
    <message>
        <source>%1: the serial number "%2" is no whole number.</source>
        <translation>%1: the serial number "%2" is no whole number.</translation>
    </message>
    <message>
        <source>Run %1 declares %2 s, but its %3 samples in the file cover %4 s: the file is cut short or damaged.</source>
        <translation>Run %1 declares %2 s, but its %3 samples in the file cover %4 s: the file is cut short or damaged.</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1: the duration "%2" is no whole number.</source>
        <translation>%1: the duration "%2" is no whole number.</translation>
    </message>
    <message>
        <source>The workbook's run table has %1 runs, but its sheet "%2" describes %3.</source>
        <translation>The workbook's run table has %1 runs, but its sheet "%2" describes %3.</translation>
    </message>
    <message>
        <source>Sheet "%1", row %2: run %3 has no interval of its own.</source>
        <translation>Sheet "%1", row %2: run %3 has no interval of its own.</translation>
    </message>
    <message>
        <source>Run %1 had %2 samples, but its sheet holds %3: the file is cut short or damaged.</source>
        <translation>Run %1 had %2 samples, but its sheet holds %3: the file is cut short or damaged.</translation>
    </message>
</context>
<context>
    <name>MeterDeviceInfo</name>
    <message>
        <source>Warn</source>
        <translation>Warn</translation>
    </message>
    <message>
        <source>No probe connection!</source>
        <translation>No probe connection!</translation>
    </message>
    <message>
        <source>The instrument is not configured production information!</source>
        <translation>The instrument is not configured production information!</translation>
    </message>
    <message>
        <source>Read key infomation fail!</source>
        <translation>Read key infomation fail!</translation>
    </message>
</context>
<context>
    <name>MeterRecordTable</name>
    <message>
        <source>Energy </source>
        <translation>Energy </translation>
    </message>
    <message>
        <source>Power(RT) </source>
        <translation>Power(RT) </translation>
    </message>
    <message>
        <source>Power(MAX) </source>
        <translation>Power(MAX) </translation>
    </message>
    <message>
        <source>Power(MIN) </source>
        <translation>Power(MIN) </translation>
    </message>
    <message>
        <source>Power(AVG) </source>
        <translation>Power(AVG) </translation>
    </message>
    <message>
        <source>Energy mJ/cm²</source>
        <translation>Energy mJ/cm²</translation>
    </message>
    <message>
        <source>Power(RT) mW/cm²</source>
        <translation>Power(RT) mW/cm²</translation>
    </message>
    <message>
        <source>Power(MAX) mW/cm²</source>
        <translation>Power(MAX) mW/cm²</translation>
    </message>
    <message>
        <source>Power(MIN) mW/cm²</source>
        <translation>Power(MIN) mW/cm²</translation>
    </message>
    <message>
        <source>Power(AVG) mW/cm²</source>
        <translation>Power(AVG) mW/cm²</translation>
    </message>
    <message>
        <source>Energy J/cm²</source>
        <translation>Energy J/cm²</translation>
    </message>
    <message>
        <source>Power(RT) W/cm²</source>
        <translation>Power(RT) W/cm²</translation>
    </message>
    <message>
        <source>Power(MAX) W/cm²</source>
        <translation>Power(MAX) W/cm²</translation>
    </message>
    <message>
        <source>Power(MIN) W/cm²</source>
        <translation>Power(MIN) W/cm²</translation>
    </message>
    <message>
        <source>Power(AVG) W/cm²</source>
        <translation>Power(AVG) W/cm²</translation>
    </message>
    <message>
        <source>Energy J/m²</source>
        <translation>Energy J/m²</translation>
    </message>
    <message>
        <source>Power(RT) W/m²</source>
        <translation>Power(RT) W/m²</translation>
    </message>
    <message>
        <source>Power(MAX) W/m²</source>
        <translation>Power(MAX) W/m²</translation>
    </message>
    <message>
        <source>Power(MIN) W/m²</source>
        <translation>Power(MIN) W/m²</translation>
    </message>
    <message>
        <source>Power(AVG) W/m²</source>
        <translation>Power(AVG) W/m²</translation>
    </message>
</context>
<context>
    <name>MeterSave</name>
    <message>
        <source>Storing data to Excel</source>
        <translation>Storing data to Excel</translation>
    </message>
    <message>
        <source>Excel file (*.xls)</source>
        <translation>Excel file (*.xls)</translation>
    </message>
    <message>
        <source>Excel file (*.xlsx)</source>
        <translation>Excel file (*.xlsx)</translation>
    </message>
    <message>
        <source>CSV (*.csv)</source>
        <translation>CSV (*.csv)</translation>
    </message>
    <message>
        <source>information</source>
        <translation>information</translation>
    </message>
    <message>
        <source>Save file success!</source>
        <translation>Save file success!</translation>
    </message>
    <message>
        <source>Save data file fail!</source>
        <translation>Save data file fail!</translation>
    </message>
    <message>
        <source>Storing data</source>
        <translation>Storing data</translation>
    </message>
    <message>
        <source>Saving Excel data, please wait</source>
        <translation>Saving Excel data, please wait</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>MeterSettingsPanel</name>
    <message>
        <source>Warn</source>
        <translation>Warn</translation>
    </message>
    <message>
        <source>No probe connection!</source>
        <translation>No probe connection!</translation>
    </message>
    <message>
        <source>information</source>
        <translation>information</translation>
    </message>
    <message>
        <source>parameter configuration Error!</source>
        <translation>parameter configuration Error!</translation>
    </message>
    <message>
        <source>parameter configuration success!</source>
        <translation>parameter configuration success!</translation>
    </message>
</context>
<context>
    <name>OpenedFileBar</name>
    <message>
        <source>Open...</source>
        <translation>Open...</translation>
    </message>
    <message>
        <source>Data from %1</source>
        <translation>Data from %1</translation>
    </message>
    <message>
        <source>%1, serial number %2</source>
        <translation>%1, serial number %2</translation>
    </message>
    <message>
        <source>the file does not name the instrument</source>
        <translation>the file does not name the instrument</translation>
    </message>
    <message>
        <source>Open a measurement file</source>
        <translation>Open a measurement file</translation>
    </message>
    <message>
        <source>Measurement files (*.json *.csv *.xls *.xlsx)</source>
        <translation>Measurement files (*.json *.csv *.xls *.xlsx)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <source>Back to the instrument</source>
        <translation>Back to the instrument</translation>
    </message>
</context>
<context>
    <name>PlotExport</name>
    <message>
        <source>A plot is from 1 to %1 pixels wide and high, and at most %2 million pixels in all.</source>
        <translation>A plot is from 1 to %1 pixels wide and high, and at most %2 million pixels in all.</translation>
    </message>
    <message>
        <source>The resolution is from 1 to %1 dpi.</source>
        <translation>The resolution is from 1 to %1 dpi.</translation>
    </message>
    <message>
        <source>The plot could not be drawn for %1.</source>
        <translation>The plot could not be drawn for %1.</translation>
    </message>
    <message>
        <source>%1 could not be written: %2</source>
        <translation>%1 could not be written: %2</translation>
    </message>
</context>
<context>
    <name>PrivateFile</name>
    <message>
        <source>Cannot create the folder %1: %2</source>
        <translation>Cannot create the folder %1: %2</translation>
    </message>
    <message>
        <source>Cannot make the folder %1 private: %2</source>
        <translation>Cannot make the folder %1 private: %2</translation>
    </message>
    <message>
        <source>%1 is not a folder.</source>
        <translation>%1 is not a folder.</translation>
    </message>
    <message>
        <source>Cannot create %1: %2</source>
        <translation>Cannot create %1: %2</translation>
    </message>
    <message>
        <source>Cannot make %1 private: %2</source>
        <translation>Cannot make %1 private: %2</translation>
    </message>
</context>
<context>
    <name>ReportLimitsPanel</name>
    <message>
        <source>Limits</source>
        <translation>Limits</translation>
    </message>
    <message>
        <source>Limit set:</source>
        <translation>Limit set:</translation>
    </message>
    <message>
        <source>Name of the set</source>
        <translation>Name of the set</translation>
    </message>
    <message>
        <source>Save Set</source>
        <translation>Save Set</translation>
    </message>
    <message>
        <source>Delete Set</source>
        <translation>Delete Set</translation>
    </message>
    <message>
        <source>Dose (mJ/cm²)</source>
        <translation>Dose (mJ/cm²)</translation>
    </message>
    <message>
        <source>Minimum</source>
        <translation>Minimum</translation>
    </message>
    <message>
        <source>Maximum</source>
        <translation>Maximum</translation>
    </message>
    <message>
        <source>Peak (μW/cm²)</source>
        <translation>Peak (μW/cm²)</translation>
    </message>
    <message>
        <source>Time above</source>
        <translation>Time above</translation>
    </message>
    <message>
        <source>Threshold</source>
        <translation>Threshold</translation>
    </message>
    <message>
        <source>Minimum (s)</source>
        <translation>Minimum (s)</translation>
    </message>
    <message>
        <source>A minimum is above its maximum.</source>
        <translation>A minimum is above its maximum.</translation>
    </message>
</context>
<context>
    <name>ReportPageForLogger</name>
    <message>
        <source>Report</source>
        <translation>Report</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>Test Report1</source>
        <translation>Test Report1</translation>
    </message>
    <message>
        <source>Test Report</source>
        <translation>Test Report</translation>
    </message>
    <message>
        <source>Device: </source>
        <translation>Device: </translation>
    </message>
    <message>
        <source>SN:</source>
        <translation>SN:</translation>
    </message>
    <message>
        <source>StartTime:</source>
        <translation>StartTime:</translation>
    </message>
    <message>
        <source>Duration:</source>
        <translation>Duration:</translation>
    </message>
    <message>
        <source>Test Light:</source>
        <translation>Test Light:</translation>
    </message>
    <message>
        <source>Company:</source>
        <translation>Company:</translation>
    </message>
    <message>
        <source>Test Data</source>
        <translation>Test Data</translation>
    </message>
    <message>
        <source>Item</source>
        <translation>Item</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>Unit</source>
        <translation>Unit</translation>
    </message>
    <message>
        <source>Power(REC)</source>
        <translation>Power(REC)</translation>
    </message>
    <message>
        <source>Power(MAX)</source>
        <translation>Power(MAX)</translation>
    </message>
    <message>
        <source>Power(MIN)</source>
        <translation>Power(MIN)</translation>
    </message>
    <message>
        <source>Power(AVG)</source>
        <translation>Power(AVG)</translation>
    </message>
    <message>
        <source> Tester:</source>
        <translation> Tester:</translation>
    </message>
    <message>
        <source> Auditor:</source>
        <translation> Auditor:</translation>
    </message>
</context>
<context>
    <name>ReportPageForMeter</name>
    <message>
        <source>Report</source>
        <translation>Report</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>Test Report1</source>
        <translation>Test Report1</translation>
    </message>
    <message>
        <source>Test Report</source>
        <translation>Test Report</translation>
    </message>
    <message>
        <source>Device: </source>
        <translation>Device: </translation>
    </message>
    <message>
        <source>SN:</source>
        <translation>SN:</translation>
    </message>
    <message>
        <source>Test Light:</source>
        <translation>Test Light:</translation>
    </message>
    <message>
        <source>Company:</source>
        <translation>Company:</translation>
    </message>
    <message>
        <source>Test Data</source>
        <translation>Test Data</translation>
    </message>
    <message>
        <source>Item</source>
        <translation>Item</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>Unit</source>
        <translation>Unit</translation>
    </message>
    <message>
        <source>Energy</source>
        <translation>Energy</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Duration</translation>
    </message>
    <message>
        <source>S</source>
        <translation>S</translation>
    </message>
    <message>
        <source>Power(RT)</source>
        <translation>Power(RT)</translation>
    </message>
    <message>
        <source>Power(MAX)</source>
        <translation>Power(MAX)</translation>
    </message>
    <message>
        <source>Power(MIN)</source>
        <translation>Power(MIN)</translation>
    </message>
    <message>
        <source>Power(AVG)</source>
        <translation>Power(AVG)</translation>
    </message>
    <message>
        <source> Tester:</source>
        <translation> Tester:</translation>
    </message>
    <message>
        <source> Auditor:</source>
        <translation> Auditor:</translation>
    </message>
</context>
<context>
    <name>RunComparison</name>
    <message>
        <source>The tolerance must be more than 0 %.</source>
        <translation>The tolerance must be more than 0 %.</translation>
    </message>
    <message>
        <source>A run without a storage interval cannot be compared.</source>
        <translation>A run without a storage interval cannot be compared.</translation>
    </message>
    <message>
        <source>The reference run has no samples.</source>
        <translation>The reference run has no samples.</translation>
    </message>
</context>
<context>
    <name>RunPlot</name>
    <message>
        <source>Run %1</source>
        <translation>Run %1</translation>
    </message>
    <message>
        <source>Run %1, %2</source>
        <translation>Run %1, %2</translation>
    </message>
    <message>
        <source>No run has a start time: the time axis shows the time since the start.</source>
        <translation>No run has a start time: the time axis shows the time since the start.</translation>
    </message>
    <message>
        <source>The time axis is the clock of run %1; the other runs are laid over it.</source>
        <translation>The time axis is the clock of run %1; the other runs are laid over it.</translation>
    </message>
    <message>
        <source>There is no run %1 to take as the reference.</source>
        <translation>There is no run %1 to take as the reference.</translation>
    </message>
    <message>
        <source>Reference band ±%1 %</source>
        <translation>Reference band ±%1 %</translation>
    </message>
    <message>
        <source>Clock time</source>
        <translation>Clock time</translation>
    </message>
    <message>
        <source>Clock time (hh:mm:ss)</source>
        <translation>Clock time (hh:mm:ss)</translation>
    </message>
    <message>
        <source>Time since the exposure window's start (h:mm:ss)</source>
        <translation>Time since the exposure window's start (h:mm:ss)</translation>
    </message>
    <message>
        <source>Time since the start (h:mm:ss)</source>
        <translation>Time since the start (h:mm:ss)</translation>
    </message>
    <message>
        <source>Time since the exposure window's start (s)</source>
        <translation>Time since the exposure window's start (s)</translation>
    </message>
    <message>
        <source>Time since the start (s)</source>
        <translation>Time since the start (s)</translation>
    </message>
    <message>
        <source>Irradiance (%1)</source>
        <translation>Irradiance (%1)</translation>
    </message>
    <message>
        <source>... and %1 more runs</source>
        <translation>... and %1 more runs</translation>
    </message>
</context>
<context>
    <name>SaveFailures</name>
    <message>
        <source>Storing data failed, the template %1 is larger than %2 MB!</source>
        <translation>Storing data failed, the template %1 is larger than %2 MB!</translation>
    </message>
    <message>
        <source>Storing data failed, the template %1 cannot be used!</source>
        <translation>Storing data failed, the template %1 cannot be used!</translation>
    </message>
    <message>
        <source>Storing data failed, Can't open file!</source>
        <translation>Storing data failed, Can't open file!</translation>
    </message>
    <message>
        <source>error</source>
        <translation>error</translation>
    </message>
    <message>
        <source>Can't overwrite this file, maybe the file is in use!</source>
        <translation>Can't overwrite this file, maybe the file is in use!</translation>
    </message>
</context>
<context>
    <name>StartOptions</name>
    <message>
        <source>work with a simulated instrument instead of a real one</source>
        <translation>work with a simulated instrument instead of a real one</translation>
    </message>
    <message>
        <source>write the program's trace lines to standard error</source>
        <translation>write the program's trace lines to standard error</translation>
    </message>
    <message>
        <source>print this text and end</source>
        <translation>print this text and end</translation>
    </message>
    <message>
        <source>print the program's version and end</source>
        <translation>print the program's version and end</translation>
    </message>
    <message>
        <source>The companion program of the Meter and Logger hand-held UV radiometers:
it reads and sets the instrument's settings and clock, downloads its
measurements, shows and saves them and prints test reports.</source>
        <translation>The companion program of the Meter and Logger hand-held UV radiometers:
it reads and sets the instrument's settings and clock, downloads its
measurements, shows and saves them and prints test reports.</translation>
    </message>
    <message>
        <source>Options:</source>
        <translation>Options:</translation>
    </message>
    <message>
        <source>One copy runs per user: a second start brings its window to the front.</source>
        <translation>One copy runs per user: a second start brings its window to the front.</translation>
    </message>
    <message>
        <source>See also vantrel(1) and vantrel-cli(1).</source>
        <translation>See also vantrel(1) and vantrel-cli(1).</translation>
    </message>
    <message>
        <source>Usage: vantrel [--simulate meter|logger|PROFILE] [--debug] [FILE]</source>
        <translation>Usage: vantrel [--simulate meter|logger|PROFILE] [--debug] [FILE]</translation>
    </message>
    <message>
        <source>FILE: a measurement file saved by the program or vantrel-cli (JSON,
CSV, .xls, .xlsx), shown without the instrument.</source>
        <translation>FILE: a measurement file saved by the program or vantrel-cli (JSON,
CSV, .xls, .xlsx), shown without the instrument.</translation>
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
<context>
    <name>UVPowerCurvePageForLogger</name>
    <message>
        <source>UV Power Curve</source>
        <translation>UV Power Curve</translation>
    </message>
    <message>
        <source>Coordinate Axis Set</source>
        <translation>Coordinate Axis Set</translation>
    </message>
    <message>
        <source>Auto Set</source>
        <translation>Auto Set</translation>
    </message>
    <message>
        <source>Time:</source>
        <translation>Time:</translation>
    </message>
    <message>
        <source>Elapsed time</source>
        <translation>Elapsed time</translation>
    </message>
    <message>
        <source>Clock time</source>
        <translation>Clock time</translation>
    </message>
    <message>
        <source>Align at:</source>
        <translation>Align at:</translation>
    </message>
    <message>
        <source>Starts</source>
        <translation>Starts</translation>
    </message>
    <message>
        <source>Exposure windows</source>
        <translation>Exposure windows</translation>
    </message>
    <message>
        <source>Between the markers</source>
        <translation>Between the markers</translation>
    </message>
    <message>
        <source>Dose rule:</source>
        <translation>Dose rule:</translation>
    </message>
    <message>
        <source>Threshold</source>
        <translation>Threshold</translation>
    </message>
    <message>
        <source>Reference</source>
        <translation>Reference</translation>
    </message>
    <message>
        <source>Tolerance:</source>
        <translation>Tolerance:</translation>
    </message>
    <message>
        <source> %</source>
        <translation> %</translation>
    </message>
    <message>
        <source>From file...</source>
        <translation>From file...</translation>
    </message>
    <message>
        <source>Export...</source>
        <translation>Export...</translation>
    </message>
    <message>
        <source>No reference</source>
        <translation>No reference</translation>
    </message>
    <message>
        <source>Run %1</source>
        <translation>Run %1</translation>
    </message>
    <message>
        <source>%1, run %2</source>
        <translation>%1, run %2</translation>
    </message>
    <message>
        <source>Reference: %1</source>
        <translation>Reference: %1</translation>
    </message>
    <message>
        <source>Run %1 has no samples.</source>
        <translation>Run %1 has no samples.</translation>
    </message>
    <message>
        <source>From %1 s to %2 s: %3 s</source>
        <translation>From %1 s to %2 s: %3 s</translation>
    </message>
    <message>
        <source>Mean: %1 %2</source>
        <translation>Mean: %1 %2</translation>
    </message>
    <message>
        <source>none</source>
        <translation>none</translation>
    </message>
    <message>
        <source>Peak: %1 %2</source>
        <translation>Peak: %1 %2</translation>
    </message>
    <message>
        <source>Rule: %1</source>
        <translation>Rule: %1</translation>
    </message>
    <message>
        <source>Whole run above %1 %2: %3 s</source>
        <translation>Whole run above %1 %2: %3 s</translation>
    </message>
    <message>
        <source>%1: %2 % inside the band</source>
        <translation>%1: %2 % inside the band</translation>
    </message>
    <message>
        <source>%1: no time in common with the reference</source>
        <translation>%1: no time in common with the reference</translation>
    </message>
    <message>
        <source>Open a reference run</source>
        <translation>Open a reference run</translation>
    </message>
    <message>
        <source>Measurement files (*.json *.csv *.xls *.xlsx)</source>
        <translation>Measurement files (*.json *.csv *.xls *.xlsx)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <source>%1 holds no Logger run.</source>
        <translation>%1 holds no Logger run.</translation>
    </message>
    <message>
        <source>Export the plot</source>
        <translation>Export the plot</translation>
    </message>
    <message>
        <source>error</source>
        <translation>error</translation>
    </message>
    <message>
        <source>The samples come from a file that keeps them with one decimal.</source>
        <translation>The samples come from a file that keeps them with one decimal.</translation>
    </message>
    <message>
        <source>Dose: %1 %2</source>
        <translation>Dose: %1 %2</translation>
    </message>
    <message>
        <source>Whole run: %1 %2</source>
        <translation>Whole run: %1 %2</translation>
    </message>
    <message>
        <source>Window: %1 s to %2 s</source>
        <translation>Window: %1 s to %2 s</translation>
    </message>
    <message>
        <source>Window: none</source>
        <translation>Window: none</translation>
    </message>
</context>
<context>
    <name>UvFigures</name>
    <message numerus="yes">
        <source>%n sample(s) were no number and are left out as gaps</source>
        <translation><numerusform>%n sample were no number and are left out as gaps</numerusform><numerusform>%n samples were no number and are left out as gaps</numerusform></translation>
    </message>
    <message numerus="yes">
        <source>%n sample(s) were below zero and count as 0</source>
        <translation><numerusform>%n sample were below zero and count as 0</numerusform><numerusform>%n samples were below zero and count as 0</numerusform></translation>
    </message>
    <message>
        <source>Figures of this run: %1.</source>
        <translation>Figures of this run: %1.</translation>
    </message>
</context>
<context>
    <name>Verdict</name>
    <message>
        <source>"%1" is no limit KEY=NUMBER.</source>
        <translation>"%1" is no limit KEY=NUMBER.</translation>
    </message>
    <message>
        <source>The limit %1 is given twice.</source>
        <translation>The limit %1 is given twice.</translation>
    </message>
    <message>
        <source>There is no limit "%1"; the limits are dose-min, dose-max, peak-min, peak-max, time-above-min and threshold.</source>
        <translation>There is no limit "%1"; the limits are dose-min, dose-max, peak-min, peak-max, time-above-min and threshold.</translation>
    </message>
    <message>
        <source>A minimum is above its maximum.</source>
        <translation>A minimum is above its maximum.</translation>
    </message>
    <message>
        <source>time-above-min needs a threshold.</source>
        <translation>time-above-min needs a threshold.</translation>
    </message>
</context>
<context>
    <name>WorkbookLayout</name>
    <message>
        <source>Sheet "%1", row %2: the serial number "%3" is no whole number.</source>
        <translation>Sheet "%1", row %2: the serial number "%3" is no whole number.</translation>
    </message>
    <message>
        <source>Sheet "%1", row %2: "%3" is no precision of samples.</source>
        <translation>Sheet "%1", row %2: "%3" is no precision of samples.</translation>
    </message>
    <message>
        <source>Sheet "%1", row %2: a run's number, interval and samples must be whole numbers.</source>
        <translation>Sheet "%1", row %2: a run's number, interval and samples must be whole numbers.</translation>
    </message>
</context>
</TS>