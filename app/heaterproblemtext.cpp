#include "app/heaterproblemtext.h"

#include "link/heaterlock.h"

namespace {

QString chinese(const HeaterAccess::Finding &found)
{
    switch (found.problem) {
    case HeaterAccess::PermissionDenied:
        if (found.socket)
            return QString("没有权限打开 %1：该套接字的权限为 %2，属于用户 %3；请以该用户身份运行，"
                           "或让 korvane-devsim 提供您自己的套接字")
                .arg(found.path, found.mode, found.owner);
        return QString("没有权限打开设备 %1：请安装 udev 规则 70-korvane.rules，然后拔下设备再重新插上")
            .arg(found.path);
    case HeaterAccess::Unopenable:
        return QString("无法打开设备 %1").arg(found.path);
    case HeaterAccess::Missing:
        break;
    }
    return found.socket ? QString("%1 处没有虚拟设备：korvane-devsim 是否在运行？").arg(found.path)
                        : QString("未找到设备（USB 0483:5750）：请检查数据线，并确认设备已开机");
}

} // namespace

QString HeaterProblemText::of(const HeaterAccess::Finding &found, int language)
{
    return language == 1 ? chinese(found) : found.why;
}

QString HeaterProblemText::of(const HeaterLock &heater, int language)
{
    if (language != 1 || heater.held())
        return heater.problem();
    // Why a lock could not be taken names a file and the system's reason, which stay as they are.
    return heater.holder().isEmpty() ? "无法锁定设备：" + heater.problem() : "设备正被其他程序使用：" + heater.holder();
}
