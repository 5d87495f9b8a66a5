#include "run_error.hpp"

#include <cerrno>
#include <climits>
#include <cstring>

#include "runtime.hpp"

namespace engine {

std::u16string errnoText(int err)
{
    switch (err) {
    case ENOENT: return u"文件或文件夹不存在";
    case ENOTDIR: return u"路径中有一项不是文件夹";
    case EACCES:
    case EPERM: return u"没有权限";
    case ENOSPC:
    case EDQUOT: return u"磁盘空间不足";
    case EFBIG: return u"文件超过了允许的大小";
    case EROFS: return u"磁盘是只读的";
    case EISDIR: return u"这是一个文件夹";
    case ENAMETOOLONG: return u"文件名太长";
    case EILSEQ:
    case EINVAL: return u"文件名无效";
    case ELOOP: return u"符号链接太多";
    case ENXIO:
    case ENODEV: return u"这不是普通文件";
    case EMFILE:
    case ENFILE: return u"打开的文件太多";
    case EIO: return u"读写设备出错";
    case EAGAIN:
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
        return u"暂时无法读写，管道或设备已满";
    case EINTR: return u"读写被打断";
    case ETXTBSY: return u"文件是一个正在运行的程序";
    case EBUSY: return u"文件或设备正忙";
    case EOVERFLOW: return u"文件太大，系统无法处理";
    case EFAULT: return u"内存地址无效";
    case EPIPE: return u"管道的另一端已经关闭";
    case ENOMEM: return u"内存不足";
    case ESTALE: return u"网络文件已失效";
    case EOPNOTSUPP: return u"文件系统不支持这种操作";
    case EBADF: return u"文件没有打开";
    default: {
        std::u16string text = u"系统错误" + decimalText(err);
        if (const char* own = ::strerrordesc_np(err)) text += u"（" + std::u16string(own, own + std::strlen(own)) + u"）";
        return text;
    }
    }
}

namespace {

std::u16string inQuotes(std::u16string_view text)
{
    std::u16string out = u"“";
    out += text;
    out += u"”";
    return out;
}

}  // namespace

std::u16string quotedHead(std::u16string_view text)
{
    constexpr std::size_t kHead = 32;
    if (text.size() <= kHead) return inQuotes(text);
    // Not between the two halves of a surrogate pair.
    const std::size_t cut = text[kHead - 1] >= 0xD800 && text[kHead - 1] <= 0xDBFF ? kHead - 1 : kHead;
    return inQuotes(std::u16string(text.substr(0, cut)) + u"…");
}

std::u16string quoted(std::u16string_view name)
{
    // A name longer than any path the system takes names no file anyway.
    return name.size() > PATH_MAX ? quotedHead(name) : inQuotes(name);
}

}  // namespace engine
