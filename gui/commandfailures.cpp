#include "gui/commandfailures.h"

#include "gui/uiseam.h"

#include <QCoreApplication>
#include <QString>

// The messages are written in Chinese and shown as they stand in Chinese; the
// English translation carries their English texts (context "CommandTexts",
// kept in translations/en/*.tsv).
namespace CommandTexts {

const CommandFailureTexts readConfiguration = {
    QT_TRANSLATE_NOOP("CommandTexts", "读取主机基本配置信息写端口失败！"),
    QT_TRANSLATE_NOOP("CommandTexts", "读取主机基本配置信息接收端口报文失败！"),
    QT_TRANSLATE_NOOP("CommandTexts", "读取主机基本配置信息接收的报文格式错误！"),
    QT_TRANSLATE_NOOP("CommandTexts", "主机基本配置信息的Checksum不正确！")};
const CommandFailureTexts writeConfiguration = {
    QT_TRANSLATE_NOOP("CommandTexts", "写主机基本配置信息写端口失败！"),
    QT_TRANSLATE_NOOP("CommandTexts", "写主机基本配置信息没有接收到报文！"),
    QT_TRANSLATE_NOOP("CommandTexts", "写主机基本配置信息接收到的报文有错误！")};
const CommandFailureTexts readClock = {
    QT_TRANSLATE_NOOP("CommandTexts", "读取主机时间配置信息写端口失败！"),
    QT_TRANSLATE_NOOP("CommandTexts", "读取主机时间配置信息接收端口报文失败！"),
    QT_TRANSLATE_NOOP("CommandTexts", "读取主机时间配置信息接收的报文格式错误！")};
const CommandFailureTexts writeClock = {
    QT_TRANSLATE_NOOP("CommandTexts", "写主机时间配置信息写端口失败！"),
    QT_TRANSLATE_NOOP("CommandTexts", "写主机时间配置信息没有接收到报文！"),
    QT_TRANSLATE_NOOP("CommandTexts", "写主机时间配置信息接收到的报文有错误！")};
const CommandFailureTexts productionInfo = {
    QT_TRANSLATE_NOOP("CommandTexts", "读取生产信息写端口失败！"),
    QT_TRANSLATE_NOOP("CommandTexts", "读取生产信息接收端口报文失败！"),
    QT_TRANSLATE_NOOP("CommandTexts", "读取生产信息接收的报文格式错误！"),
    QT_TRANSLATE_NOOP("CommandTexts", "读取生产信息checksum错误！")};
const CommandFailureTexts calibrationDate = {
    QT_TRANSLATE_NOOP("CommandTexts", "读取调校日期写端口失败！"),
    QT_TRANSLATE_NOOP("CommandTexts", "读取调校日期接收端口报文失败！"),
    QT_TRANSLATE_NOOP("CommandTexts", "读取调校日期接收的报文格式错误！"),
    QT_TRANSLATE_NOOP("CommandTexts", "读取调校日期checksum错误！")};
const CommandFailureTexts softwareVersion = {
    QT_TRANSLATE_NOOP("CommandTexts", "读取软件版本写端口失败！"),
    QT_TRANSLATE_NOOP("CommandTexts", "读取软件版本接收端口报文失败！"),
    QT_TRANSLATE_NOOP("CommandTexts", "读取软件版本接收的报文格式错误！")};

void showFailure(QWidget *parent, int result, const CommandFailureTexts &texts)
{
    const char *text = nullptr;
    switch (result) {
    case -1: text = texts.notSent; break;
    case -2: text = texts.noAnswer; break;
    case -3: text = texts.badAnswer; break;
    case -4: text = texts.badBlock; break;
    default: break;
    }
    if (text)
        UiSeam::information(parent, QCoreApplication::translate("CommandTexts", "提示"),
                            QCoreApplication::translate("CommandTexts", text));
}

} // namespace CommandTexts
