<!DOCTYPE html PUBLIC "-//W3C//DTD XHTML 1.0 Transitional//EN" "http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd">
<html xmlns="http://www.w3.org/1999/xhtml">
<head>
<meta http-equiv="Content-Type" content="text/html; charset=gbk" />
<title>Zanvoro助手论坛 - 首页</title>
</head>
<body id="nv_forum" class="pg_index">
<div id="wp" class="wp">
<div id="ct" class="wp cl">
<h2>Zanvoro助手论坛</h2>
<ul class="forum-list">
<li><a href="forum.php?mod=forumdisplay&amp;fid=41">主播工具</a></li>
<li><a href="forum.php?mod=forumdisplay&amp;fid=49">意见建议</a></li>
<li><a href="forum.php?mod=forumdisplay&amp;fid=54">场景音乐投稿</a></li>
</ul>
<div id="online" class="bm oll">
<div class="bm_h"><h3><strong><a href="home.php?mod=space">在线会员</a></strong><span class="xs1">- 总计 <strong>123</strong> 人在线 - 最高记录是 <strong>456</strong> 于 <strong>2013-8-8</strong>.</span></h3></div>
</div>
</div>
</div>
</body>
</html>
