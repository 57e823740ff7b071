#pragma once

// The microblog service's two share hosts, as the client knows them. The demo routes both names to
// 127.0.0.1, and the server tells their pages from its own by the Host header.
inline constexpr const char* kDefaultShareHosts[] = {"service.weibo.com", "v.t.sina.com.cn"};
