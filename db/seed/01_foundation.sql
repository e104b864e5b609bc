-- Messages of the common library and the system parameters it reads.

insert into msg_mst (msg_id, msg_content) values
    ('ECM002', '系统出错，请查看日志文件或与系统管理员联系！'),
    ('ECM010', '记录重复，不能保存！'),
    ('ECM011', '该记录已经被相关记录引用，不能删除！'),
    ('ECM012', '数据库操作出错，请查看日志文件或与系统管理员联系！'),
    ('ECM204', '程序运行出错：无效的参数！'),
    ('ECM205', '程序运行出错：数值溢出！'),
    ('ECM206', '程序运行出错：%S'),
    ('ECM504', '您没有使用该功能的权限！')
on conflict do nothing;

insert into sys_comm_para (sys_para_code, sys_para_value, sys_para_name) values
    (1, '示范图书馆', '图书馆名称')
on conflict do nothing;

insert into job_type (job_type, job_name) values
    ('401', '借书'),
    ('402', '还书'),
    ('415', '交纳罚款'),
    ('419', '减免罚款')
on conflict do nothing;
