<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="zh_CN">
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
        <source>Records %1 could not be read; the other records were kept.</source>
        <translation>记录 %1 未能读取；其余记录已保留。</translation>
    </message>
    <message>
        <source>The instrument was disconnected.</source>
        <translation>仪器已断开连接。</translation>
    </message>
    <message>
        <source>The instrument was disconnected during the download. Records kept: %1.</source>
        <translation>下载过程中仪器已断开连接。已保留的记录：%1 条。</translation>
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
        <source>Usage: vantrel [--simulate meter|logger|PROFILE] [--debug]</source>
        <translation>用法：vantrel [--simulate meter|logger|PROFILE] [--debug]</translation>
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
</context>
</TS>