#pragma once
// Every text the updater shows: progress lines, status lines, box texts and
// button labels. The wizard's state is the label of button 1, so the labels
// are compared as well as shown.
namespace kanzo {

// Title of the updater's message boxes.
inline constexpr const char* kUpdateAppTitle = "update";

inline constexpr const char* kUsageText =
    "用法:update.exe 程序名 版本 版本文件URL\n"
    "例如:update.exe Kanzo 1.0 http://www.example.com/update.ini";
inline constexpr const char* kUrlNotHttpText = "版本文件URL应一http://开头!";
inline constexpr const char* kSocketInitFailedText = "Windows 通信端口初始化失败。";

// Dialog.
inline constexpr const char* kDialogCaption = "更新";
inline constexpr const char* kLabelNext = "下一步(&N)";
inline constexpr const char* kLabelUpdate = "更新(&U)";
inline constexpr const char* kLabelFinish = "完成(&O)";
inline constexpr const char* kLabelCancel = "取消(&C)";
inline constexpr const char* kStatusInitial = "点击下一步查看可用的更新";

// Progress lines.
inline constexpr const char* kLineCurrentVersion = "应用当前版本：";
inline constexpr const char* kLineSummaryHead = "==============V";
inline constexpr const char* kLineSummaryHeadTail = "更新摘要==============";
inline constexpr const char* kLineSummaryFoot = "==========================================";
inline constexpr const char* kLineUpdatedVersion = "更新后的应用版本：";
inline constexpr const char* kLineRemoteFile = "网络文件";
inline constexpr const char* kLineRemoteFileMissing = "不存在";
inline constexpr const char* kLineCreateFolder = "创建目录";
inline constexpr const char* kLineCreateFolderFailed = "失败";
inline constexpr const char* kLineDownloaded = "下载完成";
inline constexpr const char* kLineDownloadFailed = "下载失败";
inline constexpr const char* kLineInstalled = " 更新成功";
inline constexpr const char* kLineInstallFailed = " 更新失败";
inline constexpr const char* kLineRestoreStart = "开始恢复文件";
inline constexpr const char* kLineRestoreFailed = " 恢复失败";
inline constexpr const char* kLineRestoreDone = "恢复文件完成";
// A listed name that would leave the program folder (absolute, or with "..").
inline constexpr const char* kLineUnsafeNameHead = "文件名";
inline constexpr const char* kLineUnsafeNameTail = "不合法，已拒绝更新";
// A download larger than its Content-Length or than any program file.
inline constexpr const char* kLineDownloadTooLarge = "超出允许的大小，已拒绝";
// The running client could not be ended; nothing is replaced.
inline constexpr const char* kLineEndProgramFailed = "无法关闭，未进行更新";

// Status lines.
inline constexpr const char* kStatusConnecting = "正在连接到服务器";
inline constexpr const char* kStatusConnectFailed = "连接服务器失败！";
inline constexpr const char* kStatusResourceFailed = "读取服务器资源失败！";
inline constexpr const char* kStatusReadingVersion = "读取版本信息";
inline constexpr const char* kStatusReadVersionFailed = "读取版本信息失败！";
inline constexpr const char* kStatusCheckingVersion = "检查版本信息";
inline constexpr const char* kStatusUpToDate = "您现在使用的版本已经是最新的！";
inline constexpr const char* kStatusNewVersion = "发现新的版本:";
inline constexpr const char* kStatusUpdateDone = "更新完成！";
inline constexpr const char* kStatusUpdateIncomplete = "更新未完成！";

// Asked before a running client is ended.
inline constexpr const char* kAskEndRunningTail =
    "已在运行！\n请先关闭程序才能进行更新！\n如果选择确定将强行关闭程序！";

}  // namespace kanzo
