#include "run_error.hpp"

#include <cerrno>

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
    default: return u"系统错误" + decimalText(err);
    }
}

std::u16string quoted(std::u16string_view text)
{
    std::u16string out = u"“";
    out += text;
    out += u"”";
    return out;
}

}  // namespace engine
